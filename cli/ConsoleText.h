#pragma once

#include <cstdio>
#include <string_view>

namespace quorvel::cli {

// Writes UTF-8 text to a standard stream. A Windows console is given it as UTF-16, so that names
// show right whatever its code page; files and pipes get the UTF-8 bytes.
void WriteText(std::FILE *stream, std::string_view text);

// Whether the stream is a terminal (on Windows a console), where a line can be redrawn in place.
bool IsTerminal(std::FILE *stream);

// Standard streams left closed by whoever started us are opened onto the null device: on Linux the
// first files opened would take their descriptors and the messages meant for stderr be written
// into a piece; on both, output that has nowhere to go is dropped, not a failure.
void OpenClosedStandardStreams();

} // namespace quorvel::cli
