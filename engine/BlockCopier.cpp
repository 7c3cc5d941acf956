#include "engine/BlockCopier.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace quorvel {
namespace {

bool KernelRefusesCopy(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == EBADF || error == ETXTBSY || error == EPERM;
}

} // namespace

std::uint64_t BlockCopier::Transfer(File &source, File &target, std::uint64_t count) {
  count = std::min(count, kBufferSize);
  std::uint64_t copied = 0;
  while (!m_kernelCopyRefused && copied < count) {
    const ssize_t moved = ::copy_file_range(source.Descriptor(), nullptr, target.Descriptor(),
                                            nullptr, count - copied, 0);
    if (moved == 0)
      return copied;
    if (moved > 0) {
      copied += static_cast<std::uint64_t>(moved);
      continue;
    }
    if (errno == EINTR)
      continue;
    if (KernelRefusesCopy(errno)) {
      m_kernelCopyRefused = true;
      break;
    }
    // The kernel does not say which side failed; read and write the rest so the failure names
    // the right file.
    break;
  }
  if (copied == count)
    return copied;
  return copied + TransferThroughBuffer(source, target, count - copied);
}

std::uint64_t BlockCopier::TransferThroughBuffer(File &source, File &target, std::uint64_t count) {
  if (!m_buffer)
    m_buffer = std::make_unique<std::byte[]>(kBufferSize);
  std::uint64_t copied = 0;
  while (copied < count) {
    const std::uint64_t got = source.Read(m_buffer.get(), count - copied);
    if (got == 0)
      break;
    target.Write(m_buffer.get(), got);
    copied += got;
  }
  return copied;
}

} // namespace quorvel
