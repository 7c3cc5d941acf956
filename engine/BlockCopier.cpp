#include "engine/BlockCopier.h"

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <unistd.h>
#endif

namespace quorvel {

#ifdef _WIN32
void BlockCopier::Copy(File &source, File &target, std::uint64_t count) {
  CopyThroughBuffer(source, target, count);
}
#else
namespace {

// Keeps one call's count within what a 32-bit ssize_t can return.
constexpr std::uint64_t kKernelChunk = std::uint64_t{1} << 30;

bool KernelRefusesCopy(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == EBADF || error == ETXTBSY || error == EPERM;
}

} // namespace

void BlockCopier::Copy(File &source, File &target, std::uint64_t count) {
  const std::uint64_t copied = CopyInKernel(source, target, count);
  if (copied < count)
    CopyThroughBuffer(source, target, count - copied);
}

std::uint64_t BlockCopier::CopyInKernel(File &source, File &target, std::uint64_t count) {
  std::uint64_t copied = 0;
  while (!m_kernelCopyRefused && copied < count) {
    const ssize_t moved = ::copy_file_range(source.Descriptor(), nullptr, target.Descriptor(),
                                            nullptr, std::min(count - copied, kKernelChunk), 0);
    if (moved > 0) {
      copied += static_cast<std::uint64_t>(moved);
      continue;
    }
    // Some file systems report nothing copied before the end; only a read can tell the end.
    if (moved == 0)
      break;
    if (errno == EINTR)
      continue;
    if (KernelRefusesCopy(errno))
      m_kernelCopyRefused = true;
    // The kernel does not say which side failed; the buffer's read and write name the right file.
    break;
  }
  return copied;
}
#endif

void BlockCopier::CopyThroughBuffer(File &source, File &target, std::uint64_t count) {
  if (!m_buffer)
    m_buffer = std::make_unique<std::byte[]>(kBufferSize);
  while (count > 0) {
    const std::uint64_t got = source.Read(m_buffer.get(), std::min(count, kBufferSize));
    if (got == 0)
      throw FileException(FileCause::endOfFile, 0, source.GetFilePath());
    target.Write(m_buffer.get(), got);
    count -= got;
  }
}

} // namespace quorvel
