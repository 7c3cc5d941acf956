#pragma once

#include "engine/File.h"
#include "engine/Progress.h"
#include "engine/Sha256.h"

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvel {

// Copies bytes from one file to another and hashes them on the way, every byte read once. The
// hash runs on a second thread over the blocks the copy has written, so that the copy hides behind
// it: a few blocks of a fixed size, whatever the pieces' size.
class HashingCopier {
public:
  static constexpr std::size_t kBlockSize = 256 * 1024;
  static constexpr std::size_t kBlockCount = 4;

  // Told the bytes copied so far of this copy after each block; Flow::stop ends it.
  using BlockReport = std::function<Flow(std::uint64_t copied)>;

  HashingCopier();
  HashingCopier(const HashingCopier &) = delete;
  HashingCopier &operator=(const HashingCopier &) = delete;
  ~HashingCopier();

  // Copies exactly `count` bytes and returns their digest, or nothing when the report stopped it.
  // A source that ends first is an end-of-file failure naming it; any other failure throws naming
  // the file that failed.
  std::optional<Sha256::Digest> Copy(File &source, File &target, std::uint64_t count,
                                     const BlockReport &report);

private:
  struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
    // The last block of a copy: its digest is taken after it.
    bool last = false;
  };

  void HashBlocks();
  // The block to fill next, once the hashing thread is done with it.
  Block &NextFreeBlock();
  void Hand(std::size_t size, bool last);
  // Waits until the hashing thread has taken every block handed to it.
  void WaitForHash();

  std::array<Block, kBlockCount> m_blocks;
  Sha256 m_hash;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  // Blocks handed over and blocks hashed, counted since the start; block n is m_blocks[n % count].
  std::uint64_t m_handed = 0;
  std::uint64_t m_hashed = 0;
  // The digest of the last copy the hashing thread finished.
  Sha256::Digest m_digest{};
  bool m_quit = false;
  std::thread m_hasher;
};

} // namespace quorvel
