#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quorvel::cli {

// The tool's name, which each of its messages begins with.
inline constexpr std::string_view kProgramName = "quorvel-split";

// Writes UTF-8 text to a standard stream. A Windows console is given it as UTF-16, so that names
// show right whatever its code page; files and pipes get the UTF-8 bytes.
void WriteText(std::FILE *stream, std::string_view text);
// A line on stderr after the tool's name: why it stopped, or what it does meanwhile.
inline void Say(std::string_view message) {
  WriteText(stderr, std::string{kProgramName}.append(": ").append(message).append("\n"));
}

// Whether the stream is a terminal (on Windows a console), where a line can be redrawn in place.
bool IsTerminal(std::FILE *stream);

// Whether a line on the terminal `stream` is left unfinished, as the progress line is between its
// redrawings. Safe to call whatever signal comes meanwhile.
void MarkLineOpen(std::FILE *stream, bool open);
// Puts itself before the handlers in place for the signals that end the program (on Windows the
// console's Ctrl+C, Ctrl+Break and close): it ends an unfinished line and hands on, so that the
// shell's prompt then starts on a line of its own.
void EndOpenLineOnInterrupt();

// Standard streams left closed by whoever started us are opened onto the null device: on Linux the
// first files opened would take their descriptors and the messages meant for stderr be written
// into a piece; on both, output that has nowhere to go is dropped, not a failure.
void OpenClosedStandardStreams();

} // namespace quorvel::cli
