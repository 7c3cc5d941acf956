// quorvel-split: the split and join of Quorvel File Splitter for scripts.

#include "cli/ConsoleHost.h"
#include "engine/FileException.h"
#include "engine/JoinFiles.h"
#include "engine/SplitFile.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
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
    "Usage: quorvel-split split SOURCE DEST_FOLDER [--size 1.4M|1.2M|1.0M|0.8M]\n"
    "       quorvel-split join FIRST_PIECE DEST_FOLDER\n"
    "       quorvel-split --help | --version\n"
    "\n"
    "split  cuts SOURCE into pieces 1_NAME, 2_NAME, ... of the given size (default 1.4M,\n"
    "       1,400,000 bytes) in DEST_FOLDER.\n"
    "join   joins FIRST_PIECE (a name beginning 1_) and the pieces numbered after it beside it\n"
    "       into NAME in DEST_FOLDER.\n"
    "\n"
    "Existing files of the same names are overwritten. Exit status: 0 done, 1 stopped with a\n"
    "message, 2 usage error.\n";

// In size-list order: the index is what the engine is given.
constexpr std::array<std::string_view, 4> kSizeLabels{"1.4M", "1.2M", "1.0M", "0.8M"};

struct Request {
  Operation operation;
  std::string_view source;
  std::string_view destFolder;
  int sizeSelection = 0;
};

int UsageError(std::string_view problem) {
  std::fprintf(stderr, "quorvel-split: %.*s\n\n%.*s", static_cast<int>(problem.size()),
               problem.data(), static_cast<int>(kUsage.size()), kUsage.data());
  return kExitUsage;
}

std::optional<int> SizeSelectionOf(std::string_view label) {
  for (std::size_t index = 0; index < kSizeLabels.size(); ++index) {
    if (kSizeLabels[index] == label)
      return static_cast<int>(index);
  }
  return std::nullopt;
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
  for (std::size_t index = 1; index < arguments.size(); ++index) {
    std::string_view argument = arguments[index];
    if (argument == "--size" || argument.starts_with("--size=")) {
      if (request.operation != Operation::split)
        return UsageError("--size applies to split only");
      std::string_view label;
      if (argument == "--size") {
        if (++index == arguments.size())
          return UsageError("--size needs a value");
        label = arguments[index];
      } else {
        label = argument.substr(std::string_view{"--size="}.size());
      }
      const auto selection = SizeSelectionOf(label);
      if (!selection)
        return UsageError("unknown piece size '" + std::string{label} +
                          "' (choose 1.4M, 1.2M, 1.0M or 0.8M)");
      request.sizeSelection = *selection;
      continue;
    }
    if (argument.size() > 1 && argument.starts_with('-') && argument != "--")
      return UsageError("unknown option '" + std::string{argument} + "'");
    operands.push_back(argument);
  }
  if (operands.size() != 2)
    return UsageError(command == "split" ? "split takes SOURCE and DEST_FOLDER"
                                         : "join takes FIRST_PIECE and DEST_FOLDER");
  request.source = operands[0];
  request.destFolder = operands[1];
  return request;
}

int Run(const Request &request) {
  ConsoleHost host(request.operation, request.sizeSelection);
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

} // namespace

int main(int argc, char **argv) {
  // A write past the file-size limit must fail and be reported, not end the process.
  std::signal(SIGXFSZ, SIG_IGN);
  const auto parsed = ParseArguments(std::span{argv + 1, static_cast<std::size_t>(argc - 1)});
  if (const int *status = std::get_if<int>(&parsed))
    return *status;
  return Run(std::get<Request>(parsed));
}
