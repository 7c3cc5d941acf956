#include "framework/Mutex.h"
#include "framework/win32/Win32Utf16.h"

namespace quorvel::fw {

HANDLE CreateMutex(const void *securityAttributes, BOOL initialOwner, const CString &name) {
  return ::CreateMutexW(static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void *>(securityAttributes)),
                        initialOwner, win32::Utf16FromUtf8(name).c_str());
}

} // namespace quorvel::fw
