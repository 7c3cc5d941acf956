#include "engine/Folder.h"

#include "engine/PieceNaming.h"
#include "engine/linux/ExclusiveHold.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace quorvel {

Folder::~Folder() {
  if (m_fd >= 0)
    ::close(m_fd);
}

bool Folder::Open(std::string_view folder, FileException *error) {
  m_strPrefix = folder.empty() || folder.ends_with(kPathSeparator) ? std::string{folder}
                                                                   : JoinFolder(folder, "");
  const std::string path = folder.empty() ? "." : std::string{folder};
  m_fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (m_fd >= 0)
    return true;
  if (error)
    *error = FileException(CauseFromErrno(errno), errno, path);
  return false;
}

std::string Folder::PathOf(std::string_view name) const {
  return std::string{m_strPrefix}.append(name);
}

Folder::Entry Folder::Look(std::string_view name, std::uint64_t *length) const {
  struct stat status {};
  if (::fstatat(m_fd, std::string{name}.c_str(), &status, 0) != 0)
    return errno == ENOENT || errno == ENAMETOOLONG || errno == ENOTDIR ? Entry::absent
                                                                        : Entry::other;
  if (!S_ISREG(status.st_mode))
    return Entry::other;
  if (length)
    *length = static_cast<std::uint64_t>(status.st_size);
  return Entry::file;
}

bool Folder::NameFits(std::string_view name, FileException *error) const {
  struct stat status {};
  if (::fstatat(m_fd, std::string{name}.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 ||
      errno != ENAMETOOLONG)
    return true;
  if (error)
    *error = FileException(FileCause::badPath, ENAMETOOLONG, PathOf(name));
  return false;
}

bool Folder::OpenFile(File &file, std::string_view name, unsigned flags,
                      FileException *error) const {
  return file.OpenAt(m_fd, name, PathOf(name), flags, error);
}

bool Folder::Remove(std::string_view name, FileException *error) const {
  const std::string fileName{name};
  const auto fail = [&](FileCause cause, int osError) {
    if (error)
      *error = FileException(cause, osError, PathOf(name));
    return false;
  };
  struct stat status {};
  if (::fstatat(m_fd, fileName.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT || fail(CauseFromErrno(errno), errno);
  if (S_ISDIR(status.st_mode))
    return fail(FileCause::accessDenied, EISDIR);
  if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
    return fail(FileCause::accessDenied, EINVAL);

  // A file another program holds open stays, as Windows keeps it.
  int held = -1;
  if (S_ISREG(status.st_mode)) {
    held = ::openat(m_fd, fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (held < 0)
      return fail(CauseFromErrno(errno), errno);
    if (const int holdError = HoldExclusively(held); holdError != 0) {
      ::close(held);
      return fail(CauseFromErrno(holdError), holdError);
    }
  }
  const bool removed = ::unlinkat(m_fd, fileName.c_str(), 0) == 0 || errno == ENOENT;
  const int removeError = errno;
  if (held >= 0)
    ::close(held);
  return removed || fail(CauseFromErrno(removeError), removeError);
}

void Folder::ForEachName(const std::function<void(std::string_view name)> &visit) const {
  const int listing = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0)
    return;
  DIR *entries = ::fdopendir(listing);
  if (!entries) {
    ::close(listing);
    return;
  }
  while (const dirent *entry = ::readdir(entries))
    visit(entry->d_name);
  ::closedir(entries);
}

} // namespace quorvel

namespace quorvel {

std::optional<Folder::Space> Folder::FreeSpace() const {
  struct statvfs status {};
  // Some file systems (a few FUSE ones) report no size at all.
  if (::fstatvfs(m_fd, &status) != 0 || status.f_blocks == 0)
    return std::nullopt;
  const std::uint64_t unit = status.f_frsize > 0 ? status.f_frsize : status.f_bsize;
  return Space{std::uint64_t{status.f_bavail} * unit, unit};
}

} // namespace quorvel
