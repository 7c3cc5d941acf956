// quorvel-split: the product's split and join for scripts.

#include "base/Product.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleText.h"
#include "engine/HostReports.h"
#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/SizeNotation.h"
#include "engine/SizePresets.h"
#include "engine/SplitRun.h"
#include "engine/StagedFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

// The presets' sizes as --size takes them: the label's first word, or the bytes.
std::string SizeText(const quorvel::SizePreset &preset) {
  const std::string_view size = preset.label.substr(0, preset.label.find(' '));
  return size == preset.medium ? std::to_string(preset.bytes) : std::string{size};
}

// One line for each medium: its name, its size and what it holds.
std::string MediaLines() {
  std::string lines;
  for (const quorvel::SizePreset &preset : kSizePresets) {
    if (preset.medium.empty())
      continue;
    std::string line = "  " + std::string{preset.medium};
    line.resize(10, ' ');
    line += SizeText(preset);
    line.resize(22, ' ');
    lines += line + Grouped(preset.bytes) + " bytes\n";
  }
  return lines;
}

// The floppy sizes, "1.4M, 1.2M, 1.0M and 0.8M".
std::string FloppySizes() {
  std::string text;
  for (const quorvel::SizePreset &preset : kSizePresets) {
    if (!preset.medium.empty())
      continue;
    if (!text.empty())
      text += ", ";
    text += preset.label;
  }
  const std::size_t last = text.rfind(", ");
  return last == std::string::npos ? text : text.replace(last, 2, " and ");
}

std::string Usage() {
  return "Usage: quorvel-split split [--size SIZE] [--] SOURCE DEST_FOLDER\n"
         "       quorvel-split join [--] FIRST_PIECE DEST_FOLDER\n"
         "       quorvel-split --help | --version\n"
         "\n"
         "split  cuts SOURCE into pieces 1_NAME, 2_NAME, ... of SIZE in DEST_FOLDER, with their\n"
         "       checksum list NAME.sha256 (sha256sum -c checks it). Once the new set is whole\n"
         "       it replaces an older set of NAME there.\n"
         "join   joins the set of FIRST_PIECE (a name beginning 1_) into NAME in DEST_FOLDER, "
         "once\n"
         "       every piece is there and matches the list beside it (without a list: no piece\n"
         "       missing, all as long as the first but a shorter last one).\n"
         "\n"
         "SIZE is a number, with a fraction if need be, and a unit: K, M and G are thousands,\n"
         "millions and billions of bytes (KB, MB and GB the same), KiB, MiB and GiB 1024, 1024^2\n"
         "and 1024^3 bytes; a bare number is bytes. The default is " +
         std::string{kSizePresets.front().label} + ", " + Grouped(kSizePresets.front().bytes) +
         " bytes.\n"
         "For today's media give the size or the medium's name:\n" +
         MediaLines() +
         "mail fits the attachment limits of mail and chat, DVD a 4.7 GB disc with room for its\n"
         "file system, FAT32 the largest file that FAT32 sticks and cards hold. Floppy disks\n"
         "take " +
         FloppySizes() +
         ".\n"
         "\n"
         "Existing files of the same names are replaced once the new ones are complete. A run\n"
         "that fails or is interrupted leaves the folder as it was. Exit status: 0 done, 1\n"
         "stopped with a message, 2 usage error, 128 + the signal's number when interrupted.\n";
}

struct Request {
  Operation operation;
  std::string_view source;
  std::string_view destFolder;
  std::uint64_t pieceSize = quorvel::kDefaultPieceSize;
};

int UsageError(std::string_view problem) {
  WriteText(stderr, "quorvel-split: " + std::string{problem} +
                        "\nTry 'quorvel-split --help' for more information.\n");
  return kExitUsage;
}

bool SameWord(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<std::uint64_t> PieceSizeOf(std::string_view value) {
  for (const quorvel::SizePreset &preset : kSizePresets)
    if (!preset.medium.empty() && SameWord(preset.medium, value))
      return preset.bytes;
  return quorvel::ParsePieceSize(value);
}

// "mail, CD, DVD or FAT32".
std::string MediaNames() {
  std::string names;
  for (const quorvel::SizePreset &preset : kSizePresets) {
    if (preset.medium.empty())
      continue;
    if (!names.empty())
      names += ", ";
    names += preset.medium;
  }
  const std::size_t last = names.rfind(", ");
  return last == std::string::npos ? names : names.replace(last, 2, " or ");
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
        return UsageError("'" + std::string{value} +
                          "' is no piece size: give a number and a unit (K, M, G, KiB, MiB, "
                          "GiB), as 700M, or bytes, or " +
                          MediaNames());
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

std::filesystem::path PathOf(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A source or destination that is not what it must be, said as what it is: the file layer would
// call a missing folder an invalid path, and on Windows a folder given as a file a denied access.
std::optional<std::string> PlaceProblem(const Request &request) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!request.source.empty() && fs::is_directory(PathOf(request.source), error))
    return std::string{request.source} + " is a folder, not a file.";
  if (request.destFolder.empty())
    return std::nullopt;
  const fs::file_status destination = fs::status(PathOf(request.destFolder), error);
  const std::string named{request.destFolder};
  if (destination.type() == fs::file_type::not_found)
    return "the destination folder " + named + " does not exist.";
  if (fs::exists(destination) && !fs::is_directory(destination))
    return "the destination " + named + " is not a folder.";
  return std::nullopt;
}

int Run(const Request &request) {
  if (const auto problem = PlaceProblem(request)) {
    WriteText(stderr, "quorvel-split: " + *problem + "\n");
    return kExitStopped;
  }
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
  quorvel::cli::EndOpenLineOnInterrupt();
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
