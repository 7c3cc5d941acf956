#pragma once

#include "engine/File.h"

#include <cstdint>
#include <memory>

namespace quorvel {

// Moves blocks from one file's position to another's with the kernel's in-kernel copy, so the
// bytes never pass through this process. Where the kernel refuses (another file system, a
// special file) it falls back to read and write through one buffer of the largest block.
class BlockCopier {
public:
  static constexpr std::uint64_t kBufferSize = 140'000;

  // Copies up to `count` bytes (at most kBufferSize), fewer only where the source ends; returns
  // how many, 0 at its end. A failure throws naming the file that failed.
  std::uint64_t Transfer(File &source, File &target, std::uint64_t count);

private:
  std::uint64_t TransferThroughBuffer(File &source, File &target, std::uint64_t count);

  std::unique_ptr<std::byte[]> m_buffer;
  bool m_kernelCopyRefused = false;
};

} // namespace quorvel
