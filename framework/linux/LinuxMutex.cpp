#include "framework/linux/LinuxMutex.h"

#include "framework/Mutex.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel::fw {
namespace {

// What the last CreateMutex left for GetLastError.
DWORD g_lastError = 0;
std::filesystem::path g_lockFolder;
// The locks this process holds until it ends; a handle points at its lock's descriptor. A deque
// never moves what it holds.
std::deque<int> g_heldLocks;

std::filesystem::path HomeOf(uid_t user) {
  const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
  passwd entry{};
  passwd *found = nullptr;
  if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir || found->pw_dir[0] != '/')
    return {};
  return found->pw_dir;
}

// The folder, open, when it is private to `user`; otherwise -1.
int OpenPrivateFolder(const std::filesystem::path &folder, uid_t user) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return -1;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && status.st_uid == user &&
      (status.st_mode & (S_IWGRP | S_IWOTH)) == 0)
    return fd;
  ::close(fd);
  return -1;
}

// `name` and the machine's, as one home may serve several machines.
CString OnThisMachine(const CString &name) {
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0)
    return name;
  std::string machine = host;
  std::replace(machine.begin(), machine.end(), '/', '_');
  return name + "@" + machine;
}

} // namespace

std::filesystem::path UserLockFolder() {
  const std::filesystem::path home = HomeOf(::geteuid());
  return home.empty() ? home : home / ".cache";
}

CString LockFileName(const CString &name) { return OnThisMachine(name) + ".lock"; }

CString AnswerSocketName(const CString &name) { return OnThisMachine(name) + ".socket"; }

std::filesystem::path NamedLockFolder() {
  return g_lockFolder.empty() ? UserLockFolder() : g_lockFolder;
}

void SetNamedLockFolder(std::filesystem::path folder) { g_lockFolder = std::move(folder); }

bool IsPrivateFolder(const std::filesystem::path &folder, uid_t user) {
  const int fd = OpenPrivateFolder(folder, user);
  if (fd < 0)
    return false;
  ::close(fd);
  return true;
}

HANDLE CreateMutex(const void *, BOOL, const CString &name) {
  g_lastError = 0;
  const std::filesystem::path folder = NamedLockFolder();
  if (folder.empty() || name.empty() || name.find('/') != CString::npos)
    return nullptr;
  // Made as the desktop makes it when the user has none yet.
  ::mkdir(folder.c_str(), 0700);
  // Opened once and checked, so that the folder cannot be swapped between the check and the use.
  const int folderFd = OpenPrivateFolder(folder, ::geteuid());
  if (folderFd < 0)
    return nullptr;
  const int fd = ::openat(folderFd, LockFileName(name).c_str(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  ::close(folderFd);
  if (fd < 0)
    return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    return &g_heldLocks.emplace_back(fd);
  if (errno == EWOULDBLOCK)
    g_lastError = ERROR_ALREADY_EXISTS;
  ::close(fd);
  return nullptr;
}

} // namespace quorvel::fw

DWORD GetLastError() { return quorvel::fw::g_lastError; }
