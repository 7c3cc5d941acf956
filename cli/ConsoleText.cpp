#include "cli/ConsoleText.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel::cli {

void WriteText(std::FILE *stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE *stream) { return ::isatty(::fileno(stream)); }

void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF && ::open("/dev/null", O_RDWR) != fd)
      std::_Exit(EXIT_FAILURE);
  }
}

} // namespace quorvel::cli
