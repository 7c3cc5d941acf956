#include "engine/StagedFile.h"

#include "engine/PieceNaming.h"
#include "engine/TemporaryName.h"
#include "engine/linux/NameHold.h"
#include "engine/linux/TemporaryRegistry.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvel {
namespace {

// Enough for any honest race between runs over one name; beyond it the name counts as held.
constexpr int kReplaceAttempts = 64;

// A new file of a random temporary name in the folder, open for writing; -1 with errno set when
// none can be made.
int CreateTemporary(int folder, std::string &name) {
  for (;;) {
    name = RandomTemporaryName();
    const int fd =
        ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
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

  m_strName = SourceNameOf(finalPath);
  const std::string folder{FolderOf(finalPath)};
  m_folder = ::open(folder.empty() ? "." : folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (m_folder < 0)
    return fail(CauseFromErrno(errno, OpenPurpose::creating), errno);

  // Only a look: the name is held again, for good, when the file is put in place.
  if (const NameHold hold = HoldName(m_folder, m_strName); hold.refusal)
    return fail(hold.refusal->cause, hold.refusal->osError);

  EndingSignalsDeferred deferred;
  for (;;) {
    const int fd = CreateTemporary(m_folder, m_strTemporaryName);
    if (fd < 0) {
      m_strTemporaryName.clear();
      return fail(CauseFromErrno(errno, OpenPurpose::creating), errno);
    }
    m_published = PublishTemporary(m_folder, m_strTemporaryName);
    m_contents.Attach(fd, m_strFinalPath);
    const int lockError = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (lockError != 0 && lockError != EWOULDBLOCK)
      return fail(CauseFromErrno(lockError), lockError);
    // Another split clearing what killed runs left may have taken the file before its lock.
    if (lockError == 0 && StillUnderName(m_folder, m_strTemporaryName, fd))
      return true;
    m_contents.Abort();
    WithdrawTemporary(std::exchange(m_published, nullptr));
  }
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
    if (hold.file && !StillUnderName(m_folder, m_strName, hold.file.get()))
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
