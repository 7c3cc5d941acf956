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
#include <thread>
#include <vector>

namespace quorvel {

// Copies bytes from one file to another and hashes them on the way, every byte read once. The
// hash runs on a second thread over the blocks the copy has written, a few blocks of a fixed size
// whatever the pieces' size, so that the copy hides behind it; a copy does not wait for its digest,
// so the hash never waits for the next copy either.
class HashingCopier {
public:
  static constexpr std::size_t kBlockSize = 128 * 1024;
  static constexpr std::size_t kBlockCount = 4;

  // Told the bytes copied so far of this copy after each block; Flow::stop ends it.
  using BlockReport = std::function<Flow(std::uint64_t copied)>;

  HashingCopier();
  HashingCopier(const HashingCopier &) = delete;
  HashingCopier &operator=(const HashingCopier &) = delete;
  ~HashingCopier();

  // Copies exactly `count` bytes, whose digest follows those of the earlier copies. False when the
  // report stopped it, and a failure throws: a source that ends first is an end-of-file failure
  // naming it, any other names the file that failed. Either way the run is over, and so is the
  // use of the digests.
  bool Copy(File &source, File &target, std::uint64_t count, const BlockReport &report);

  // The digests not taken yet, in order: of the copies hashed by now, or, when `wait`, of all.
  std::vector<Sha256::Digest> TakeDigests(bool wait);

private:
  struct Block {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
    // Ends a copy: its digest is taken after it.
    bool last = false;
  };

  void HashBlocks();
  // The block to fill next, once the hashing thread is done with it.
  Block &NextFreeBlock();
  void Hand(std::size_t size, bool last);

  std::array<Block, kBlockCount> m_blocks;
  Sha256 m_hash;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  // Blocks handed over and blocks hashed, counted since the start; block n is m_blocks[n % count].
  std::uint64_t m_handed = 0;
  std::uint64_t m_hashed = 0;
  std::vector<Sha256::Digest> m_digests;
  bool m_quit = false;
  std::thread m_hasher;
};

} // namespace quorvel
