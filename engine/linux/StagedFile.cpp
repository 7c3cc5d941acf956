#include "engine/StagedFile.h"

#include "engine/PieceNaming.h"
#include "engine/linux/ExclusiveHold.h"
#include "engine/linux/TemporaryRegistry.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

// Enough for any honest race between runs over one name; beyond it the name counts as held.
constexpr int kReplaceAttempts = 64;

class Descriptor {
public:
  Descriptor() = default;
  explicit Descriptor(int fd) : m_fd(fd) {}
  Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  Descriptor &operator=(Descriptor &&other) noexcept {
    std::swap(m_fd, other.m_fd);
    return *this;
  }
  ~Descriptor() {
    if (m_fd >= 0)
      ::close(m_fd);
  }
  int get() const { return m_fd; }
  explicit operator bool() const { return m_fd >= 0; }

private:
  int m_fd = -1;
};

std::string RandomTemporaryName() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".quorvel-";
  for (int i = 0; i < 8; ++i)
    name += kAlphabet[generator() % kAlphabet.size()];
  return name + ".part";
}

struct Refusal {
  FileCause cause;
  int osError;
};

// What stands under a final name. A file there is held locked, so that no other run replaces it
// until this one has; a link is replaced like a file, but its target is never touched.
struct NameHold {
  std::optional<Refusal> refusal;
  bool taken = false;
  Descriptor file;
};

NameHold HoldName(int folder, const std::string &name) {
  NameHold hold;
  struct stat status {};
  const auto refuse = [&](FileCause cause, int osError) {
    hold.refusal = Refusal{cause, osError};
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

// The held file is still the one under the name: nobody replaced it between the look and the lock.
bool StillUnderName(int folder, const std::string &name, const NameHold &hold) {
  struct stat held {};
  struct stat current {};
  return ::fstat(hold.file.get(), &held) == 0 &&
         ::fstatat(folder, name.c_str(), &current, AT_SYMLINK_NOFOLLOW) == 0 &&
         held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

} // namespace

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Open(std::string_view finalPath, FileException *error) {
  Discard();
  m_strFinalPath = finalPath;
  const auto fail = [&](FileCause cause, int osError) {
    if (error)
      *error = FileException(cause, osError, m_strFinalPath);
    Discard();
    return false;
  };

  const auto separator = finalPath.rfind(kPathSeparator);
  const std::string folder = separator == std::string_view::npos ? std::string{"."}
                             : separator == 0                    ? std::string{kPathSeparator}
                                              : std::string{finalPath.substr(0, separator)};
  m_strName = separator == std::string_view::npos ? finalPath : finalPath.substr(separator + 1);
  m_folder = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (m_folder < 0)
    return fail(CauseFromErrno(errno, OpenPurpose::creating), errno);

  // Only a look: the name is held again, for good, when the file is put in place.
  if (const NameHold hold = HoldName(m_folder, m_strName); hold.refusal)
    return fail(hold.refusal->cause, hold.refusal->osError);

  EndingSignalsDeferred deferred;
  int fd = -1;
  while (fd < 0) {
    m_strTemporaryName = RandomTemporaryName();
    fd = ::openat(m_folder, m_strTemporaryName.c_str(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      m_strTemporaryName.clear();
      return fail(CauseFromErrno(errno, OpenPurpose::creating), errno);
    }
  }
  m_published = PublishTemporary(m_folder, m_strTemporaryName);
  m_contents.Attach(fd, m_strFinalPath);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    return fail(CauseFromErrno(errno), errno);
  return true;
}

void StagedFile::Commit() {
  m_contents.Flush();
  const auto fail = [&](FileCause cause, int osError) {
    throw FileException(cause, osError, m_strFinalPath);
  };
  const char *temporary = m_strTemporaryName.c_str();
  const char *name = m_strName.c_str();
  bool kernelRefusesNoReplace = false;
  for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
    if (!kernelRefusesNoReplace) {
      if (::renameat2(m_folder, temporary, m_folder, name, RENAME_NOREPLACE) == 0) {
        m_committed = true;
        break;
      }
      if (errno == EINVAL || errno == ENOSYS)
        kernelRefusesNoReplace = true;
      else if (errno != EEXIST)
        fail(CauseFromErrno(errno, OpenPurpose::creating), errno);
    }
    const NameHold hold = HoldName(m_folder, m_strName);
    if (hold.refusal)
      fail(hold.refusal->cause, hold.refusal->osError);
    if (!hold.taken && !kernelRefusesNoReplace)
      continue;
    if (hold.file && !StillUnderName(m_folder, m_strName, hold))
      continue;
    if (::renameat(m_folder, temporary, m_folder, name) != 0)
      fail(CauseFromErrno(errno, OpenPurpose::creating), errno);
    m_committed = true;
    break;
  }
  if (!m_committed)
    fail(FileCause::sharingViolation, EWOULDBLOCK);
  WithdrawTemporary(std::exchange(m_published, nullptr));
  m_strTemporaryName.clear();
}

void StagedFile::Close() {
  if (m_committed)
    m_contents.Close();
  Discard();
}

void StagedFile::Discard() noexcept {
  m_contents.Abort();
  // Removed before it is withdrawn, so that a signal in between cannot leave it behind.
  if (!m_strTemporaryName.empty() && m_folder >= 0)
    ::unlinkat(m_folder, m_strTemporaryName.c_str(), 0);
  WithdrawTemporary(std::exchange(m_published, nullptr));
  if (m_folder >= 0)
    ::close(m_folder);
  m_folder = -1;
  m_strTemporaryName.clear();
  m_committed = false;
}

} // namespace quorvel
