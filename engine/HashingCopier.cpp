#include "engine/HashingCopier.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace quorvel {

HashingCopier::HashingCopier() {
  for (Block &block : m_blocks)
    block.bytes = std::make_unique<std::byte[]>(kBlockSize);
  m_hasher = std::thread([this] { HashBlocks(); });
}

HashingCopier::~HashingCopier() {
  {
    std::lock_guard lock(m_mutex);
    m_quit = true;
  }
  m_changed.notify_all();
  m_hasher.join();
}

void HashingCopier::HashBlocks() {
  for (;;) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_quit || m_hashed < m_handed; });
    if (m_hashed == m_handed)
      return;
    const Block &block = m_blocks[m_hashed % kBlockCount];
    lock.unlock();
    m_hash.Update(block.bytes.get(), block.size);
    std::optional<Sha256::Digest> digest;
    if (block.last)
      digest = m_hash.Finish();
    lock.lock();
    if (digest)
      m_digests.push_back(*digest);
    ++m_hashed;
    lock.unlock();
    m_changed.notify_all();
  }
}

HashingCopier::Block &HashingCopier::NextFreeBlock() {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [this] { return m_handed - m_hashed < kBlockCount; });
  return m_blocks[m_handed % kBlockCount];
}

void HashingCopier::Hand(std::size_t size, bool last) {
  {
    std::lock_guard lock(m_mutex);
    Block &block = m_blocks[m_handed % kBlockCount];
    block.size = size;
    block.last = last;
    ++m_handed;
  }
  m_changed.notify_all();
}

bool HashingCopier::Copy(File &source, File &target, std::uint64_t count,
                         const BlockReport &report) {
  bool handedLast = false;
  std::uint64_t copied = 0;
  while (!handedLast) {
    Block &block = NextFreeBlock();
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, count - copied));
    for (std::size_t filled = 0; filled < size;) {
      const std::uint64_t got = source.Read(block.bytes.get() + filled, size - filled);
      if (got == 0)
        throw FileException(FileCause::endOfFile, 0, source.GetFilePath());
      filled += static_cast<std::size_t>(got);
    }
    target.Write(block.bytes.get(), size);
    copied += size;
    handedLast = copied == count;
    Hand(size, handedLast);
    if (report && report(copied) == Flow::stop)
      return false;
  }
  return true;
}

std::vector<Sha256::Digest> HashingCopier::TakeDigests(bool wait) {
  std::unique_lock lock(m_mutex);
  if (wait)
    m_changed.wait(lock, [this] { return m_hashed == m_handed; });
  return std::exchange(m_digests, {});
}

} // namespace quorvel
