#pragma once

#include "engine/File.h"

#include <cstdint>
#include <memory>

namespace quorvel {

// Moves bytes from one file's position to another's with the kernel's in-kernel copy, so they
// never pass through this process. Where the kernel refuses (another file system, a special file)
// or stops short, it goes on with read and write through one buffer of the largest block, which is
// all Windows uses: it has no copy between two open files.
class BlockCopier {
public:
  static constexpr std::uint64_t kBufferSize = 140'000;

  // Copies exactly `count` bytes. A source that ends first is an end-of-file failure naming it;
  // any other failure throws naming the file that failed.
  void Copy(File &source, File &target, std::uint64_t count);

private:
  void CopyThroughBuffer(File &source, File &target, std::uint64_t count);

  std::unique_ptr<std::byte[]> m_buffer;
#ifndef _WIN32
  // Returns how many bytes the kernel moved, fewer than `count` where it refused or stopped.
  std::uint64_t CopyInKernel(File &source, File &target, std::uint64_t count);

  bool m_kernelCopyRefused = false;
#endif
};

} // namespace quorvel
