#include "cli/ConsoleText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <io.h>
#include <string>

namespace quorvel::cli {
namespace {

HANDLE ConsoleOf(std::FILE *stream) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

} // namespace

void WriteText(std::FILE *stream, std::string_view text) {
  if (const HANDLE console = ConsoleOf(stream); console && !text.empty()) {
    // Bytes that are not UTF-8 show as U+FFFD rather than stopping the message.
    const int length = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    wide.resize(static_cast<std::size_t>(
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), length)));
    std::fflush(stream);
    DWORD written = 0;
    if (::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr))
      return;
  }
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE *stream) { return ConsoleOf(stream) != nullptr; }

void OpenClosedStandardStreams() {
  // Files are opened through handles, never C runtime descriptors, so none can take a stream's
  // place; a stream without a handle would only fail every write.
  const struct {
    DWORD id;
    std::FILE *stream;
    const char *mode;
  } streams[] = {{STD_INPUT_HANDLE, stdin, "r"},
                 {STD_OUTPUT_HANDLE, stdout, "w"},
                 {STD_ERROR_HANDLE, stderr, "w"}};
  for (const auto &[id, stream, mode] : streams) {
    const HANDLE handle = ::GetStdHandle(id);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
      std::freopen("NUL", mode, stream);
  }
}

} // namespace quorvel::cli
