// quorvel-split: the product's split and join for scripts.

#include "base/Product.h"
#include "cli/ConsoleHost.h"
#include "cli/ConsoleText.h"
#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/SizeNotation.h"
#include "engine/SizePresets.h"
#include "engine/SplitRun.h"
#include "engine/StagedFile.h"
#include "res/Messages.h"

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

using quorvel::kSizePresets;
using quorvel::cli::ConsoleHost;
using quorvel::cli::kProgramName;
using quorvel::cli::Say;
using quorvel::cli::WriteText;
using quorvel::res::Catalogue;
using quorvel::res::Fill;
using quorvel::res::GroupedDigits;
using quorvel::res::Texts;

constexpr int kExitStopped = 1;
constexpr int kExitUsage = 2;

enum class Operation { split, join };

struct Command {
  std::string_view name;
  Operation operation;
  std::array<std::string_view, 2> operands;
  // What it does, in the usage.
  std::string_view Catalogue::*usage;
};

constexpr std::array kCommands{
    Command{"split", Operation::split, {"SOURCE", "DEST_FOLDER"}, &Catalogue::splitUsage},
    Command{"join", Operation::join, {"FIRST_PIECE", "DEST_FOLDER"}, &Catalogue::joinUsage},
};

enum class Action { help, version, size };

// The options, which the parser takes and the usage shows.
struct Option {
  std::string_view name;
  std::string_view shortName;
  // What it takes, as "--size SIZE" or "--size=SIZE"; empty for nothing.
  std::string_view value;
  Action action;
  // Taken in place of a command; taken after one.
  bool alone;
  bool inCommands;
  // The one command that takes it, when not all do.
  std::optional<Operation> onlyFor;
};

constexpr std::array kOptions{
    Option{"--help", "-h", {}, Action::help, true, true, std::nullopt},
    Option{"--version", {}, {}, Action::version, true, false, std::nullopt},
    Option{"--size", {}, "SIZE", Action::size, false, true, Operation::split},
};

// "a, b and c", with the catalogue's "and" or "or" before the last.
std::string ListOf(const std::vector<std::string_view> &items, std::string_view last) {
  std::string list;
  for (std::size_t index = 0; index < items.size(); ++index) {
    if (index > 0)
      list += index + 1 == items.size() ? last : ", ";
    list += items[index];
  }
  return list;
}

// The media's or the floppies' sizes: the presets with a medium's name or without.
std::vector<quorvel::SizePreset> PresetsWithMedium(bool medium) {
  std::vector<quorvel::SizePreset> presets;
  for (const quorvel::SizePreset &preset : kSizePresets)
    if (preset.medium.empty() != medium)
      presets.push_back(preset);
  return presets;
}

// The presets' sizes as --size takes them: the label's first word, or the bytes.
std::string SizeText(const quorvel::SizePreset &preset) {
  const std::string_view size = preset.label.substr(0, preset.label.find(' '));
  return size == preset.medium ? std::to_string(preset.bytes) : std::string{size};
}

// One line for each medium: its name, its size and what it holds.
std::string MediaLines() {
  std::string lines;
  for (const quorvel::SizePreset &preset : PresetsWithMedium(true)) {
    std::string line = "  " + std::string{preset.medium};
    line.resize(10, ' ');
    line += SizeText(preset);
    line.resize(22, ' ');
    lines += line + Fill(Texts().bytes, {GroupedDigits(preset.bytes)}) + "\n";
  }
  return lines;
}

std::string MediaNames() {
  std::vector<std::string_view> names;
  for (const quorvel::SizePreset &preset : PresetsWithMedium(true))
    names.push_back(preset.medium);
  return ListOf(names, Texts().listOr);
}

std::string FloppySizes() {
  std::vector<std::string_view> labels;
  for (const quorvel::SizePreset &preset : PresetsWithMedium(false))
    labels.push_back(preset.label);
  return ListOf(labels, Texts().listAnd);
}

// "split [--size SIZE] [--] SOURCE DEST_FOLDER".
std::string Synopsis(const Command &command) {
  std::string synopsis{command.name};
  for (const Option &option : kOptions)
    if (option.inCommands && !option.value.empty() &&
        (!option.onlyFor || option.onlyFor == command.operation))
      synopsis.append(" [").append(option.name).append(" ").append(option.value).append("]");
  synopsis += " [--]";
  for (std::string_view operand : command.operands)
    synopsis.append(" ").append(operand);
  return synopsis;
}

std::string Usage() {
  const Catalogue &texts = Texts();
  const std::string indent(texts.usageStart.size(), ' ');
  std::string usage;
  for (const Command &command : kCommands)
    usage.append(usage.empty() ? texts.usageStart : indent)
        .append(kProgramName).append(" ").append(Synopsis(command)).append("\n");
  std::vector<std::string_view> alone;
  for (const Option &option : kOptions)
    if (option.alone)
      alone.push_back(option.name);
  usage.append(indent).append(kProgramName).append(" ").append(ListOf(alone, " | ")).append("\n\n");
  for (const Command &command : kCommands) {
    std::string name{command.name};
    name.resize(indent.size(), ' ');
    usage.append(name).append(texts.*command.usage);
  }
  const quorvel::SizePreset &byDefault = kSizePresets.front();
  return usage + "\n" +
         Fill(texts.sizeUsage, {byDefault.label, Fill(texts.bytes, {GroupedDigits(byDefault.bytes)}),
                                MediaLines(), FloppySizes()}) +
         "\n" + std::string{texts.usageEnd};
}

struct Request {
  Operation operation;
  std::string_view source;
  std::string_view destFolder;
  std::uint64_t pieceSize = quorvel::kDefaultPieceSize;
};

int UsageError(std::string_view problem) {
  Say(problem);
  WriteText(stderr, Fill(Texts().helpPointer, {kProgramName}) + "\n");
  return kExitUsage;
}

bool SameWord(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<std::uint64_t> PieceSizeOf(std::string_view value) {
  for (const quorvel::SizePreset &preset : PresetsWithMedium(true))
    if (SameWord(preset.medium, value))
      return preset.bytes;
  return quorvel::ParsePieceSize(value);
}

// What the arguments call for: a request, or the exit status of an answer or a usage error.
using Parsed = std::variant<Request, int>;

// An option that ends the arguments at once, or takes its value into the request.
std::optional<int> TakeOption(const Option &option, std::string_view value, Request *request) {
  switch (option.action) {
  case Action::help:
    WriteText(stdout, Usage());
    return EXIT_SUCCESS;
  case Action::version:
    WriteText(stdout, std::string{kProgramName} + " " + std::string{quorvel::kProductVersion} + "\n");
    return EXIT_SUCCESS;
  case Action::size: {
    const auto pieceSize = PieceSizeOf(value);
    if (!pieceSize)
      return UsageError(Fill(Texts().notAPieceSize, {value, MediaNames()}));
    request->pieceSize = *pieceSize;
    return std::nullopt;
  }
  }
  return std::nullopt;
}

const Option *OptionNamed(std::string_view argument) {
  for (const Option &option : kOptions) {
    const bool withValue = !option.value.empty() && argument.starts_with(option.name) &&
                           argument.substr(option.name.size()).starts_with('=');
    if (argument == option.name || argument == option.shortName || withValue)
      return &option;
  }
  return nullptr;
}

const Command *CommandNamed(std::string_view name) {
  const auto *command = std::ranges::find(kCommands, name, &Command::name);
  return command == kCommands.end() ? nullptr : command;
}

std::string_view NameOf(Operation operation) {
  return std::ranges::find(kCommands, operation, &Command::operation)->name;
}

// The option at `index` within a command, with its value; moves `index` past what it took.
std::optional<int> TakeCommandOption(std::span<const std::string> arguments, std::size_t &index,
                                     const Command &command, Request *request) {
  const std::string_view argument = arguments[index];
  const Option *option = OptionNamed(argument);
  if (!option || !option->inCommands)
    return UsageError(Fill(Texts().unknownOption, {argument}));
  if (option->onlyFor && option->onlyFor != command.operation)
    return UsageError(Fill(Texts().optionOnlyFor, {option->name, NameOf(*option->onlyFor)}));
  std::string_view value;
  if (!option->value.empty() && argument == option->name) {
    if (++index == arguments.size())
      return UsageError(Fill(Texts().needsValue, {option->name}));
    value = arguments[index];
  } else if (!option->value.empty()) {
    value = argument.substr(option->name.size() + 1);
  }
  return TakeOption(*option, value, request);
}

Parsed ParseCommand(std::span<const std::string> arguments, const Command &command) {
  Request request{command.operation, {}, {}};
  std::vector<std::string_view> operands;
  bool optionsEnded = false;
  for (std::size_t index = 1; index < arguments.size(); ++index) {
    const std::string_view argument = arguments[index];
    if (optionsEnded || argument == "-" || !argument.starts_with('-'))
      operands.push_back(argument);
    else if (argument == "--")
      optionsEnded = true;
    else if (const auto status = TakeCommandOption(arguments, index, command, &request))
      return *status;
  }
  if (operands.size() != command.operands.size())
    return UsageError(Fill(Texts().operandsWanted,
                           {command.name, ListOf({command.operands.begin(), command.operands.end()},
                                                 Texts().listAnd)}));
  request.source = operands[0];
  request.destFolder = operands[1];
  return request;
}

Parsed ParseArguments(std::span<const std::string> arguments) {
  if (arguments.empty())
    return UsageError(Texts().noCommand);
  if (const Option *option = OptionNamed(arguments[0]); option && option->alone)
    return *TakeOption(*option, {}, nullptr);
  if (const Command *command = CommandNamed(arguments[0]))
    return ParseCommand(arguments, *command);
  return UsageError(Fill(Texts().unknownCommand, {arguments[0]}));
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
    return Fill(Texts().sourceIsFolder, {request.source});
  if (request.destFolder.empty())
    return std::nullopt;
  const fs::file_status destination = fs::status(PathOf(request.destFolder), error);
  if (destination.type() == fs::file_type::not_found)
    return Fill(Texts().destinationMissing, {request.destFolder});
  if (fs::exists(destination) && !fs::is_directory(destination))
    return Fill(Texts().destinationNotFolder, {request.destFolder});
  return std::nullopt;
}

int Run(const Request &request) {
  if (const auto problem = PlaceProblem(request)) {
    Say(*problem);
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
            std::string{splitting ? Texts().splitSucceeded : Texts().joinSucceeded} + "\n");
  return EXIT_SUCCESS;
}

// Output that did not arrive is a failure, said where it still can be.
int CheckedExit(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Say(Fill(Texts().outputLost, {std::strerror(errno)}));
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
