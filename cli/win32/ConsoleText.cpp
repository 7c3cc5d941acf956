#include "cli/ConsoleText.h"

#include "base/win32/Utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <atomic>
#include <io.h>
#include <string>

namespace quorvel::cli {
namespace {

// The handle whose line is unfinished, or null.
std::atomic<HANDLE> g_openLine{nullptr};

// Runs on a thread of its own, before the handlers registered earlier.
BOOL WINAPI EndOpenLine(DWORD) {
  if (const HANDLE line = g_openLine.exchange(nullptr)) {
    DWORD written = 0;
    ::WriteFile(line, "\r\n", 2, &written, nullptr);
  }
  return FALSE;
}

// Null when the stream has none: a program may start us without one.
HANDLE HandleOf(std::FILE *stream) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

HANDLE ConsoleOf(std::FILE *stream) {
  const HANDLE handle = HandleOf(stream);
  DWORD mode = 0;
  return handle && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

} // namespace

void MarkLineOpen(std::FILE *stream, bool open) {
  g_openLine.store(open ? HandleOf(stream) : nullptr);
}

void EndOpenLineOnInterrupt() { ::SetConsoleCtrlHandler(EndOpenLine, TRUE); }

void WriteText(std::FILE *stream, std::string_view text) {
  // The C runtime cannot reopen a stream it started without a handle; its text has nowhere to go.
  if (!HandleOf(stream))
    return;
  if (const HANDLE console = ConsoleOf(stream); console && !text.empty()) {
    // Bytes that are not UTF-8 show as U+FFFD rather than stopping the message.
    const std::wstring wide = win32::Utf16FromUtf8(text);
    std::fflush(stream);
    DWORD written = 0;
    if (::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr))
      return;
  }
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE *stream) { return ConsoleOf(stream) != nullptr; }

void OpenClosedStandardStreams() {
  // Nothing to open: files are opened through handles, never C runtime descriptors, so none can
  // take a stream's place, and WriteText drops the text of a stream started without a handle.
}

} // namespace quorvel::cli
