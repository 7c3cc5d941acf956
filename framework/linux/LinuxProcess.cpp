#include "framework/OperatingSystem.h"

#include <csignal>
#include <filesystem>
#include <system_error>

namespace quorvel::fw::os {

CString ExecutablePath(const char *argv0) {
  std::error_code error;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error)
    return path.string();
  return argv0 ? argv0 : "";
}

void PrepareProcess() {
  // A write past the file-size limit would otherwise end the process.
  std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace quorvel::fw::os
