#include "cli/ConsoleText.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace quorvel::cli {
namespace {

// The descriptor whose line is unfinished, or -1.
std::atomic<int> g_openLine{-1};
// The handlers EndOpenLine hands each signal on to.
std::array<struct sigaction, NSIG> g_handedOn{};

extern "C" void EndOpenLine(int signalNumber) {
  if (const int fd = g_openLine.exchange(-1); fd >= 0) {
    const char newline = '\n';
    [[maybe_unused]] const ssize_t written = ::write(fd, &newline, 1);
  }
  g_handedOn[static_cast<std::size_t>(signalNumber)].sa_handler(signalNumber);
}

} // namespace

void WriteText(std::FILE *stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE *stream) { return ::isatty(::fileno(stream)); }

void MarkLineOpen(std::FILE *stream, bool open) { g_openLine.store(open ? ::fileno(stream) : -1); }

void EndOpenLineOnInterrupt() {
  for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber) {
    struct sigaction current {};
    // Only the program's own handlers: a signal that is ignored or ends the program without one
    // stays so, and one that takes more than its number is not the program's.
    if (::sigaction(signalNumber, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) ||
        current.sa_handler == SIG_DFL || current.sa_handler == SIG_IGN)
      continue;
    g_handedOn[static_cast<std::size_t>(signalNumber)] = current;
    struct sigaction action = current;
    action.sa_handler = EndOpenLine;
    ::sigaction(signalNumber, &action, nullptr);
  }
}

void OpenClosedStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF && ::open("/dev/null", O_RDWR) != fd)
      std::_Exit(EXIT_FAILURE);
  }
}

} // namespace quorvel::cli
