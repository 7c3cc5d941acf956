// quorvel-split: the split and join of Quorvel File Splitter for scripts.

#include "cli/ConsoleHost.h"
#include "engine/FileException.h"
#include "engine/JoinFiles.h"
#include "engine/SplitFile.h"
#include "engine/StagedFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unistd.h>
#include <variant>
#include <vector>

namespace {

using quorvel::cli::ConsoleHost;
using quorvel::cli::Operation;

constexpr int kExitStopped = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "Usage: quorvel-split split [--size 1.4M|1.2M|1.0M|0.8M|BYTES] [--] SOURCE DEST_FOLDER\n"
    "       quorvel-split join [--] FIRST_PIECE DEST_FOLDER\n"
    "       quorvel-split --help | --version\n"
    "\n"
    "split  cuts SOURCE into pieces 1_NAME, 2_NAME, ... of the given size in DEST_FOLDER: 1.4M,\n"
    "       1.2M, 1.0M and 0.8M are 1,400,000 to 800,000 bytes (default 1.4M), or give a\n"
    "       number of bytes. Pieces numbered after the last one, left by an earlier split of a\n"
    "       longer file, are removed.\n"
    "join   joins FIRST_PIECE (a name beginning 1_) and the pieces numbered after it beside it\n"
    "       into NAME in DEST_FOLDER.\n"
    "\n"
    "Existing files of the same names are replaced once the new ones are complete; a run that\n"
    "fails or is interrupted leaves them as they were. Exit status: 0 done, 1 stopped with a\n"
    "message, 2 usage error, 128 + the signal's number when interrupted.\n";

// In size-list order: the index picks the size.
constexpr std::array<std::string_view, 4> kSizeLabels{"1.4M", "1.2M", "1.0M", "0.8M"};

struct Request {
  Operation operation;
  std::string_view source;
  std::string_view destFolder;
  std::uint64_t pieceSize = quorvel::kDefaultPieceSize;
};

int UsageError(std::string_view problem) {
  std::fprintf(stderr, "quorvel-split: %.*s\n\n%.*s", static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(kUsage.size()), kUsage.data());
  return kExitUsage;
}

std::optional<std::uint64_t> PieceSizeOf(std::string_view value) {
  for (std::size_t index = 0; index < kSizeLabels.size(); ++index) {
    if (kSizeLabels[index] == value)
      return quorvel::PieceSizeForIndex(static_cast<int>(index));
  }
  std::uint64_t bytes = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bytes);
  if (error != std::errc{} || end != value.data() + value.size() || bytes == 0)
    return std::nullopt;
  return bytes;
}

// Returns the request, or the exit status when the arguments call for none.
std::variant<Request, int> ParseArguments(std::span<char *> arguments) {
  if (arguments.empty())
    return UsageError("no command given");
  const std::string_view command = arguments[0];
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage.data(), stdout);
    return EXIT_SUCCESS;
  }
  if (command == "--version") {
    std::puts("quorvel-split " QUORVEL_VERSION);
    return EXIT_SUCCESS;
  }
  if (command != "split" && command != "join")
    return UsageError("unknown command '" + std::string{command} + "'");

  Request request{command == "split" ? Operation::split : Operation::join, {}, {}};
  std::vector<std::string_view> operands;
  bool optionsEnded = false;
  for (std::size_t index = 1; index < arguments.size(); ++index) {
    std::string_view argument = arguments[index];
    if (optionsEnded || argument == "-" || !argument.starts_with('-')) {
      operands.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage.data(), stdout);
      return EXIT_SUCCESS;
    }
    if (argument == "--size" || argument.starts_with("--size=")) {
      if (request.operation != Operation::split)
        return UsageError("--size applies to split only");
      std::string_view value;
      if (argument == "--size") {
        if (++index == arguments.size())
          return UsageError("--size needs a value");
        value = arguments[index];
      } else {
        value = argument.substr(std::string_view{"--size="}.size());
      }
      const auto pieceSize = PieceSizeOf(value);
      if (!pieceSize)
        return UsageError("unknown piece size '" + std::string{value} +
                          "' (choose 1.4M, 1.2M, 1.0M, 0.8M or a number of bytes)");
      request.pieceSize = *pieceSize;
      continue;
    }
    return UsageError("unknown option '" + std::string{argument} + "'");
  }
  if (operands.size() != 2)
    return UsageError(command == "split" ? "split takes SOURCE and DEST_FOLDER"
                                         : "join takes FIRST_PIECE and DEST_FOLDER");
  request.source = operands[0];
  request.destFolder = operands[1];
  return request;
}

int Run(const Request &request) {
  ConsoleHost host(request.operation, request.pieceSize);
  host.m_strSourcePath = request.source;
  host.m_strDestFolder = request.destFolder;
  if (::isatty(STDERR_FILENO))
    host.ShowProgressOn(stderr);

  const bool splitting = request.operation == Operation::split;
  int result = 0;
  try {
    result = splitting ? quorvel::SplitFile(host) : quorvel::JoinFiles(host);
  } catch (const quorvel::FileException &failure) {
    host.AfxMessageBox(failure.GetErrorMessage(quorvel::FileException::kFailureReportBufferSize),
                       quorvel::MessageBoxIconStop);
    return kExitStopped;
  }
  host.FinishProgress();
  if (result != 0)
    return kExitStopped;
  std::puts(splitting ? "Splitted successfully" : "Joined successfully");
  return EXIT_SUCCESS;
}

// Descriptors 0 to 2 left closed by whoever started us would be taken by the first files opened,
// and the messages meant for stderr written into a piece.
void OpenStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF && ::open("/dev/null", O_RDWR) != fd)
      std::_Exit(kExitStopped);
  }
}

// Output that did not arrive is a failure, said where it still can be.
int CheckedExit(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "quorvel-split: cannot write to standard output: %s\n",
                 std::strerror(errno));
    return kExitStopped;
  }
  return std::ferror(stderr) ? kExitStopped : status;
}

} // namespace

int main(int argc, char **argv) {
  OpenStandardDescriptors();
  // A write past the file-size limit must fail and be reported, not end the process.
  std::signal(SIGXFSZ, SIG_IGN);
  quorvel::RemoveTemporaryFilesOnInterrupt();
  const auto parsed = ParseArguments(std::span{argv + 1, static_cast<std::size_t>(argc - 1)});
  if (const int *status = std::get_if<int>(&parsed))
    return CheckedExit(*status);
  return CheckedExit(Run(std::get<Request>(parsed)));
}
