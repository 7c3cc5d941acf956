// quorvel-split: the split and join of Quorvel File Splitter for scripts.

#include "base/Product.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleText.h"
#include "engine/HostReports.h"
#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/SizePresets.h"
#include "engine/SplitRun.h"
#include "engine/StagedFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#ifdef _WIN32
#include "engine/win32/WideText.h"
#endif

namespace {

using quorvel::cli::ConsoleHost;
using quorvel::cli::WriteText;

enum class Operation { split, join };

constexpr int kExitStopped = 1;
constexpr int kExitUsage = 2;

using quorvel::kSizePresets;

// The labels of the piece sizes, `last` before the last one.
std::string SizeLabels(std::string_view separator, std::string_view last) {
  std::string text;
  for (std::size_t index = 0; index < kSizePresets.size(); ++index) {
    if (index > 0)
      text += index + 1 == kSizePresets.size() ? last : separator;
    text += kSizePresets[index].label;
  }
  return text;
}

// "1,400,000".
std::string Grouped(std::uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t index = 0; index < digits.size(); ++index) {
    if (index > 0 && (digits.size() - index) % 3 == 0)
      grouped += ',';
    grouped += digits[index];
  }
  return grouped;
}

// What follows the sizes in the usage text.
constexpr std::string_view kUsageTail =
    "), or give a number of bytes. Once the\n"
    "       new set is whole it replaces an older set of NAME there.\n"
    "join   joins the set of FIRST_PIECE (a name beginning 1_) into NAME in DEST_FOLDER, once\n"
    "       every piece is there and matches the list beside it (without a list: no piece\n"
    "       missing, all as long as the first but a shorter last one).\n"
    "\n"
    "Existing files of the same names are replaced once the new ones are complete. A run that\n"
    "fails or is interrupted leaves the folder as it was. Exit status: 0 done, 1 stopped with a\n"
    "message, 2 usage error, 128 + the signal's number when interrupted.\n";

std::string Usage() {
  std::string usage = "Usage: quorvel-split split [--size " + SizeLabels("|", "|") +
                      "|BYTES] [--] SOURCE DEST_FOLDER\n";
  usage += "       quorvel-split join [--] FIRST_PIECE DEST_FOLDER\n"
           "       quorvel-split --help | --version\n"
           "\n"
           "split  cuts SOURCE into pieces 1_NAME, 2_NAME, ... of the given size in DEST_FOLDER, with\n"
           "       their checksum list NAME.sha256 (sha256sum -c checks it): ";
  usage += SizeLabels(", ", " and ") + "\n       are " + Grouped(kSizePresets.front().bytes) + " to " +
           Grouped(kSizePresets.back().bytes) + " bytes (default " +
           std::string{kSizePresets.front().label};
  return usage.append(kUsageTail);
}

struct Request {
  Operation operation;
  std::string_view source;
  std::string_view destFolder;
  std::uint64_t pieceSize = quorvel::kDefaultPieceSize;
};

int UsageError(std::string_view problem) {
  WriteText(stderr, "quorvel-split: " + std::string{problem} + "\n\n" + Usage());
  return kExitUsage;
}

std::optional<std::uint64_t> PieceSizeOf(std::string_view value) {
  for (const quorvel::SizePreset &preset : kSizePresets)
    if (preset.label == value)
      return preset.bytes;
  std::uint64_t bytes = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bytes);
  if (error != std::errc{} || end != value.data() + value.size() || bytes == 0)
    return std::nullopt;
  return bytes;
}

// Returns the request, or the exit status when the arguments call for none.
std::variant<Request, int> ParseArguments(std::span<const std::string> arguments) {
  if (arguments.empty())
    return UsageError("no command given");
  const std::string_view command = arguments[0];
  if (command == "--help" || command == "-h") {
    WriteText(stdout, Usage());
    return EXIT_SUCCESS;
  }
  if (command == "--version") {
    WriteText(stdout, "quorvel-split " + std::string{quorvel::kProductVersion} + "\n");
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
      WriteText(stdout, Usage());
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
        return UsageError("unknown piece size '" + std::string{value} + "' (choose " +
                          SizeLabels(", ", ", ") + " or a number of bytes)");
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
  ConsoleHost host(quorvel::cli::IsTerminal(stderr) ? stderr : nullptr);
  const bool splitting = request.operation == Operation::split;
  const quorvel::Outcome outcome =
      splitting
          ? quorvel::RunSplit(
                {std::string{request.source}, std::string{request.destFolder}, request.pieceSize},
                host)
          : quorvel::RunJoin({std::string{request.source}, std::string{request.destFolder}}, host);
  if (const int status = host.Report(outcome); status != EXIT_SUCCESS)
    return status;
  WriteText(stdout,
            std::string{splitting ? quorvel::kSplitSucceeded : quorvel::kJoinSucceeded} + "\n");
  return EXIT_SUCCESS;
}

// Output that did not arrive is a failure, said where it still can be.
int CheckedExit(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    WriteText(stderr, "quorvel-split: cannot write to standard output: " +
                          std::string{std::strerror(errno)} + "\n");
    return kExitStopped;
  }
  return std::ferror(stderr) ? kExitStopped : status;
}

int Main(const std::vector<std::string> &arguments) {
  quorvel::cli::OpenClosedStandardStreams();
#ifdef SIGXFSZ
  // A write past the file-size limit must fail and be reported, not end the process.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef SIGPIPE
  // Output into a closed pipe must fail and be reported, not end the run unannounced.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  quorvel::RemoveTemporaryFilesOnInterrupt();
  const auto parsed = ParseArguments(arguments);
  if (const int *status = std::get_if<int>(&parsed))
    return CheckedExit(*status);
  return CheckedExit(Run(std::get<Request>(parsed)));
}

} // namespace

#ifdef _WIN32
// The arguments as UTF-16: the narrow ones are in the ANSI code page, where a name outside it
// arrives as question marks.
int wmain(int argc, wchar_t **argv) {
  std::vector<std::string> arguments;
  for (int index = 1; index < argc; ++index)
    arguments.push_back(quorvel::win32::Utf8FromUtf16(argv[index]));
  return Main(arguments);
}
#else
int main(int argc, char **argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
