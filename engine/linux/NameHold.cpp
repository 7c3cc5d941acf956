#include "engine/linux/NameHold.h"

#include "engine/linux/ExclusiveHold.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

Descriptor::~Descriptor() {
  if (m_fd >= 0)
    ::close(m_fd);
}

NameHold HoldName(int folder, const std::string &name) {
  NameHold hold;
  struct stat status {};
  const auto refuse = [&](FileCause cause, int osError) {
    hold.refusal = NameRefusal{cause, osError};
    return std::move(hold);
  };
  if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? std::move(hold)
                           : refuse(CauseFromErrno(errno, OpenPurpose::creating), errno);
  hold.taken = true;
  if (S_ISLNK(status.st_mode))
    return hold;
  if (!S_ISREG(status.st_mode))
    return refuse(FileCause::accessDenied, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);

  // A file held, as a join holds its pieces, is told from a look for reading first: opening it for
  // writing would break the lease the holder keeps against writers.
  if (const Descriptor look(
          ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
      look && HoldExclusively(look.get()) == EWOULDBLOCK)
    return refuse(FileCause::sharingViolation, EWOULDBLOCK);

  // Opening for writing asks what writing over it would: a file we may not write is refused.
  const int fd =
      ::openat(folder, name.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) {
      hold.taken = false;
      return hold;
    }
    return refuse(CauseFromErrno(errno, OpenPurpose::creating), errno);
  }
  hold.file = Descriptor(fd);
  if (const int holdError = HoldExclusively(fd); holdError != 0)
    return refuse(CauseFromErrno(holdError), holdError);
  return hold;
}

bool StillUnderName(int folder, const std::string &name, int held) {
  struct stat heldStatus {};
  struct stat current {};
  return ::fstat(held, &heldStatus) == 0 &&
         ::fstatat(folder, name.c_str(), &current, AT_SYMLINK_NOFOLLOW) == 0 &&
         heldStatus.st_dev == current.st_dev && heldStatus.st_ino == current.st_ino;
}

} // namespace quorvel
