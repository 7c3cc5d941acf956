#include "engine/linux/ExclusiveHold.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

enum class Lease { granted, refused, unavailable };

bool LockedByAnotherProcess(int fd) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

Lease TryLease(int fd) {
  // Should a program open the file while the lease is held, the kernel tells the holder with a
  // signal, SIGIO unless set; SIGIO would end the run, SIGURG is ignored.
  ::fcntl(fd, F_SETSIG, SIGURG);
  if (::fcntl(fd, F_SETLEASE, F_WRLCK) == 0) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return Lease::granted;
  }
  return errno == EAGAIN || errno == EBUSY ? Lease::refused : Lease::unavailable;
}

// Whether a descriptor of the process whose /proc entry is `process` is on the file; `counts` picks
// the descriptors by number.
template <typename Counts> bool HasItOpen(int process, const struct stat &file, Counts counts) {
  const int folder = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0)
    return false;
  DIR *descriptors = ::fdopendir(folder);
  if (!descriptors) {
    ::close(folder);
    return false;
  }
  bool found = false;
  while (const dirent *entry = ::readdir(descriptors)) {
    struct stat status {};
    if (entry->d_name[0] == '.' || !counts(std::atoi(entry->d_name)) ||
        ::fstatat(folder, entry->d_name, &status, 0) != 0)
      continue;
    if (status.st_dev == file.st_dev && status.st_ino == file.st_ino) {
      found = true;
      break;
    }
  }
  ::closedir(descriptors);
  return found;
}

bool OpenInAnotherVisibleProcess(const struct stat &file) {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR *processes = proc < 0 ? nullptr : ::fdopendir(proc);
  if (!processes) {
    if (proc >= 0)
      ::close(proc);
    return false;
  }
  const std::string self = std::to_string(::getpid());
  bool found = false;
  while (const dirent *entry = ::readdir(processes)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9' || entry->d_name == self)
      continue;
    const int process = ::openat(proc, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (process < 0)
      continue;
    found = HasItOpen(process, file, [](int) { return true; });
    ::close(process);
    if (found)
      break;
  }
  ::closedir(processes);
  return found;
}

// Only for reading: a file this process writes is held against its other runs as against others.
bool ReadElsewhereInThisProcess(int fd, const struct stat &file) {
  const int self = ::open("/proc/self", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (self < 0)
    return false;
  const bool found = HasItOpen(self, file, [fd](int other) {
    return other != fd && (::fcntl(other, F_GETFL) & O_ACCMODE) == O_RDONLY;
  });
  ::close(self);
  return found;
}

} // namespace

int HoldExclusively(int fd) {
  struct stat file {};
  if (::fstat(fd, &file) != 0)
    return errno;
  int lockError;
  do
    lockError = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
  while (lockError == EINTR);
  if (lockError != 0 && lockError != EWOULDBLOCK)
    return lockError;
  if (lockError == 0 && !LockedByAnotherProcess(fd)) {
    const Lease lease = TryLease(fd);
    if (lease == Lease::granted)
      return 0;
    if (lease == Lease::unavailable)
      return OpenInAnotherVisibleProcess(file) ? EWOULDBLOCK : 0;
  }
  // A name linked to the file this process reads is its own to replace, as long as no other
  // process has the file too.
  if (!LockedByAnotherProcess(fd) && ReadElsewhereInThisProcess(fd, file) &&
      !OpenInAnotherVisibleProcess(file))
    return 0;
  return EWOULDBLOCK;
}

} // namespace quorvel
