#include "engine/linux/ExclusiveHold.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
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

// Should a program open the file while a lease is held, the kernel tells the holder with a signal,
// SIGIO unless set; SIGIO would end the run, SIGURG is ignored.
int SetLease(int fd, int type) {
  ::fcntl(fd, F_SETSIG, SIGURG);
  return ::fcntl(fd, F_SETLEASE, type);
}

Lease TryLease(int fd) {
  if (SetLease(fd, F_WRLCK) == 0) {
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    return Lease::granted;
  }
  return errno == EAGAIN || errno == EBUSY ? Lease::refused : Lease::unavailable;
}

// Calls `visit` with the name and status of each descriptor of the process whose /proc entry is
// `process`, until it returns true; whether one did.
template <typename Visit> bool AnyDescriptor(int process, Visit visit) {
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
    if (entry->d_name[0] != '.' && ::fstatat(folder, entry->d_name, &status, 0) == 0 &&
        visit(entry->d_name, status)) {
      found = true;
      break;
    }
  }
  ::closedir(descriptors);
  return found;
}

bool SameFile(const struct stat &one, const struct stat &other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// Calls `visit` with the /proc folder of each process this user may look into, until it returns
// true; whether one did.
template <typename Visit> bool AnyVisibleProcess(Visit visit) {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR *processes = proc < 0 ? nullptr : ::fdopendir(proc);
  if (!processes) {
    if (proc >= 0)
      ::close(proc);
    return false;
  }
  bool found = false;
  while (const dirent *entry = ::readdir(processes)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9')
      continue;
    const int process = ::openat(proc, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (process < 0)
      continue;
    found = visit(entry->d_name, process);
    ::close(process);
    if (found)
      break;
  }
  ::closedir(processes);
  return found;
}

bool OpenInAnotherVisibleProcess(const struct stat &file) {
  const std::string self = std::to_string(::getpid());
  return AnyVisibleProcess([&](const char *name, int process) {
    return name != self && AnyDescriptor(process, [&](const char *, const struct stat &status) {
             return SameFile(status, file);
           });
  });
}

// The access mode a descriptor was opened with, from the "flags:" line of its fdinfo entry.
int AccessModeOf(int fdInfo, const char *name) {
  const int info = ::openat(fdInfo, name, O_RDONLY | O_CLOEXEC);
  if (info < 0)
    return O_RDONLY;
  char text[256];
  const ssize_t got = ::read(info, text, sizeof text - 1);
  ::close(info);
  text[got > 0 ? got : 0] = '\0';
  const char *flags = std::strstr(text, "flags:");
  return flags ? static_cast<int>(std::strtoul(flags + 6, nullptr, 8)) & O_ACCMODE : O_RDONLY;
}

// Only for reading: a file this process writes is held against its other runs as against others.
bool ReadElsewhereInThisProcess(int fd, const struct stat &file) {
  const int self = ::open("/proc/self", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (self < 0)
    return false;
  const bool found = AnyDescriptor(self, [&](const char *name, const struct stat &status) {
    const int other = std::atoi(name);
    return other != fd && SameFile(status, file) &&
           (::fcntl(other, F_GETFL) & O_ACCMODE) == O_RDONLY;
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

ReadLease TakeReadLease(int fd) {
  if (SetLease(fd, F_RDLCK) == 0)
    return ReadLease::granted;
  return errno == EAGAIN || errno == EBUSY ? ReadLease::refused : ReadLease::unavailable;
}

// A lease someone began to break reads as F_UNLCK at once, before the kernel takes it away.
bool ReadLeaseKept(int fd) { return ::fcntl(fd, F_GETLEASE) == F_RDLCK; }

std::vector<FileIdentity> FilesOpenForWriting() {
  std::vector<FileIdentity> files;
  AnyVisibleProcess([&](const char *, int process) {
    const int fdInfo = ::openat(process, "fdinfo", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdInfo < 0)
      return false;
    AnyDescriptor(process, [&](const char *name, const struct stat &status) {
      if (S_ISREG(status.st_mode) && AccessModeOf(fdInfo, name) != O_RDONLY)
        files.emplace_back(status.st_dev, status.st_ino);
      return false;
    });
    ::close(fdInfo);
    return false;
  });
  std::ranges::sort(files);
  return files;
}

} // namespace quorvel
