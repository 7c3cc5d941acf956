#pragma once

#include "engine/EngineHost.h"

#include <cstdint>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view kNoticeCaption = "Splitter";
// What the dialog and the command line say when an operation has run to its end.
inline constexpr std::string_view kSplitSucceeded = "Splitted successfully";
inline constexpr std::string_view kJoinSucceeded = "Joined successfully";

// A notice under "Splitter" with the exclamation icon.
void ShowNotice(EngineHost &host, std::string_view text);
// The cause text of a failed open or create, under the application's title.
void ShowFileError(EngineHost &host, const FileException &error);
// The chosen source could not be opened: say why, then lead the user back to the source field.
void ReportSourceCheckFailure(EngineHost &host, const FileException &error);
// The report's tail after each piece: the status line, the fields and an immediate repaint.
void ReportPieceStatus(EngineHost &host, std::uint64_t pieceNumber, std::string_view word);

// Progress bars take int; a count beyond that range shows as full.
int ToProgressUnits(std::uint64_t value);

// Closes the file without reporting when a failure leaves the operation early; the normal paths
// close it themselves so that a failing close is reported.
class AbortOnExit {
public:
  explicit AbortOnExit(File &file) : m_file(file) {}
  AbortOnExit(const AbortOnExit &) = delete;
  AbortOnExit &operator=(const AbortOnExit &) = delete;
  ~AbortOnExit() { m_file.Abort(); }

private:
  File &m_file;
};

} // namespace quorvel
