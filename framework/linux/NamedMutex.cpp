#include "framework/Mutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::fw {
namespace {

DWORD g_lastError = 0;

// The user's runtime folder, or a private folder of the user's in /tmp when there is none.
std::string LockFolder() {
  if (const char *runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/')
    return runtime;
  const uid_t user = ::getuid();
  std::string folder = "/tmp/runtime-" + std::to_string(user);
  ::mkdir(folder.c_str(), 0700);
  struct stat status {};
  // Somebody else's folder of that name must not decide whether this program runs.
  if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != user ||
      (status.st_mode & 0077) != 0)
    return {};
  return folder;
}

} // namespace

HANDLE CreateMutex(const void *, BOOL, const CString &name) {
  g_lastError = 0;
  const std::string folder = LockFolder();
  if (folder.empty() || name.empty() || name.find('/') != CString::npos)
    return kNoHandle;
  const std::string path = folder + "/" + name;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0)
    return kNoHandle;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
    return fd;
  if (errno == EWOULDBLOCK)
    g_lastError = ERROR_ALREADY_EXISTS;
  ::close(fd);
  return kNoHandle;
}

DWORD GetLastError() { return g_lastError; }

} // namespace quorvel::fw
