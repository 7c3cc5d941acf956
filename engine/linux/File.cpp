#include "engine/File.h"

#include "engine/linux/ExclusiveHold.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {

// The values the Windows build passes to its file class unchanged.
static_assert(File::kReadShared == 0x8040 && File::kReadExclusive == 0x8010 &&
              File::kCreateExclusive == 0x9011);

namespace {

// A socket cannot be opened at all, which the kernel says as it says a device without a driver.
FileCause CauseOfFailedOpen(int folder, const std::string &name, int error, OpenPurpose purpose) {
  struct stat status {};
  if (error == ENXIO && ::fstatat(folder, name.c_str(), &status, 0) == 0 && S_ISSOCK(status.st_mode))
    return FileCause::notAFile;
  return CauseFromErrno(error, purpose);
}

int OpenDescriptor(int folder, const std::string &name, unsigned flags) {
  if (flags & File::modeCreate)
    return ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  // Non-blocking so that a FIFO given as a file cannot hang the open.
  const int access = (flags & File::modeWrite) ? O_WRONLY : O_RDONLY;
  const int fd = ::openat(folder, name.c_str(), access | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0)
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

} // namespace

File::~File() { Abort(); }

File File::Duplicate() const {
  const int fd = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
  if (fd < 0)
    ThrowLastError(errno);
  File duplicate;
  duplicate.Attach(fd, m_strFilePath);
  return duplicate;
}

bool File::Open(std::string_view path, unsigned flags, FileException *error) {
  return OpenAt(AT_FDCWD, path, std::string{path}, flags, error);
}

bool File::OpenAt(int folder, std::string_view name, std::string filePath, unsigned flags,
                  FileException *error) {
  Abort();
  const OpenPurpose purpose = (flags & modeCreate) ? OpenPurpose::creating : OpenPurpose::existing;
  const auto fail = [&](FileCause cause, int osError) {
    if (error)
      *error = FileException(cause, osError, filePath);
    return false;
  };

  const int fd = OpenDescriptor(folder, std::string{name}, flags);
  if (fd < 0)
    return fail(CauseOfFailedOpen(folder, std::string{name}, errno, purpose), errno);

  const auto failAndClose = [&](FileCause cause, int osError) {
    ::close(fd);
    return fail(cause, osError);
  };

  // Windows refuses to open a folder as a file; so do we, rather than split its metadata.
  struct stat status {};
  if (::fstat(fd, &status) != 0)
    return failAndClose(CauseFromErrno(errno, purpose), errno);
  if (S_ISDIR(status.st_mode))
    return failAndClose(FileCause::accessDenied, EISDIR);

  const int lock = (flags & shareExclusive) ? LOCK_EX : LOCK_SH;
  while (::flock(fd, lock | LOCK_NB) != 0) {
    if (errno == EINTR)
      continue;
    if (errno == EWOULDBLOCK)
      return failAndClose(FileCause::sharingViolation, errno);
    return failAndClose(CauseFromErrno(errno, purpose), errno);
  }

  // Truncating only once the exclusive lock is held leaves a file someone else holds intact.
  if ((flags & modeCreate) && ::ftruncate(fd, 0) != 0)
    return failAndClose(CauseFromErrno(errno, purpose), errno);

  m_fd = fd;
  m_strFilePath = std::move(filePath);
  return true;
}

void File::Attach(int fd, std::string path) {
  Abort();
  m_fd = fd;
  m_strFilePath = std::move(path);
}

File::NativeHandle File::Detach() {
  m_strFilePath.clear();
  return std::exchange(m_fd, kNoHandle);
}

std::uint64_t File::GetLength() const {
  struct stat status {};
  if (::fstat(m_fd, &status) != 0)
    ThrowLastError(errno);
  return static_cast<std::uint64_t>(status.st_size);
}

std::uint64_t File::Read(void *buffer, std::uint64_t count) {
  for (;;) {
    const ssize_t got = ::read(m_fd, buffer, count);
    if (got >= 0)
      return static_cast<std::uint64_t>(got);
    if (errno != EINTR)
      ThrowLastError(errno);
  }
}

std::uint64_t File::ReadAt(void *buffer, std::uint64_t count, std::uint64_t offset) {
  for (;;) {
    const ssize_t got = ::pread(m_fd, buffer, count, static_cast<off_t>(offset));
    if (got >= 0)
      return static_cast<std::uint64_t>(got);
    if (errno != EINTR)
      ThrowLastError(errno);
  }
}

void File::Write(const void *buffer, std::uint64_t count) {
  const auto *bytes = static_cast<const std::byte *>(buffer);
  while (count > 0) {
    const ssize_t written = ::write(m_fd, bytes, count);
    if (written < 0 && errno == EINTR)
      continue;
    if (written < 0)
      ThrowLastError(errno);
    // A write that stores nothing has run out of room.
    if (written == 0)
      throw FileException(FileCause::diskFull, ENOSPC, m_strFilePath);
    bytes += written;
    count -= static_cast<std::uint64_t>(written);
  }
}

void File::Flush() {
  while (::fsync(m_fd) != 0) {
    if (errno != EINTR)
      ThrowLastError(errno);
  }
}

void File::Close() {
  if (m_fd < 0)
    return;
  // The descriptor is gone after close() whatever it returns, so it is never closed twice.
  const int fd = m_fd;
  m_fd = -1;
  if (::close(fd) != 0 && errno != EINTR)
    ThrowLastError(errno);
}

void File::Abort() noexcept {
  if (m_fd < 0)
    return;
  ::close(m_fd);
  m_fd = -1;
}

void File::ThrowLastError(int osError) const {
  throw FileException(CauseFromErrno(osError), osError, m_strFilePath);
}

void File::FlushFolder(std::string_view folder) {
  const std::string folderPath{folder};
  const int fd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that may be written but not read cannot be flushed from here; its files were.
  if (fd < 0 && errno == EACCES)
    return;
  if (fd < 0)
    throw FileException(CauseFromErrno(errno), errno, folderPath);
  int result;
  while ((result = ::fsync(fd)) != 0 && errno == EINTR) {
  }
  const int flushError = errno;
  ::close(fd);
  // Some file systems keep no folder to flush and say so with EINVAL.
  if (result != 0 && flushError != EINVAL)
    throw FileException(CauseFromErrno(flushError), flushError, folderPath);
}

} // namespace quorvel
