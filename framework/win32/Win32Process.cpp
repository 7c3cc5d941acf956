#include "framework/OperatingSystem.h"
#include "framework/win32/Win32Utf16.h"

#include <vector>

namespace quorvel::fw::os {

CString ExecutablePath(const char *argv0) {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return argv0 ? argv0 : "";
    if (length < path.size())
      return win32::Utf8FromUtf16({path.data(), length});
    path.resize(path.size() * 2);
  }
}

// A write Windows refuses already fails with its cause.
void PrepareProcess() {}

} // namespace quorvel::fw::os
