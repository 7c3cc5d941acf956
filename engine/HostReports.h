#pragma once

#include "engine/EngineHost.h"
#include "engine/Outcome.h"
#include "engine/Progress.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

inline constexpr std::string_view kNoticeCaption = "Splitter";
// What the dialog and the command line say when an operation has run to its end.
inline constexpr std::string_view kSplitSucceeded = "Splitted successfully";
inline constexpr std::string_view kJoinSucceeded = "Joined successfully";

// The status line of a run the user stopped: while it puts the folder back, and once it has.
inline constexpr std::string_view kCancellingStatus = "Cancelling...";
inline constexpr std::string_view kCancelledStatus = "Cancelled";
// The status line while a split removes the older set of its name to make room.
inline constexpr std::string_view kRemovingOlderSetStatus = "Removing old set";

// A notice under "Splitter" with the exclamation icon.
void ShowNotice(EngineHost &host, std::string_view text);
// The cause text of a failed open or create, under the application's title.
void ShowFileError(EngineHost &host, const FileException &error);

// Tells the user how a run ended, as the dialog's operations do, and returns their result: 0 when
// it was done, 1 when it stopped. A failure while moving bytes is thrown on to the host's failure
// report.
int ReportOutcome(EngineHost &host, const Outcome &outcome);

// Progress bars take int; a count beyond that range shows as full.
int ToProgressUnits(std::uint64_t value);

// The report after each piece: the bar, the status line ("3Files created"), the fields and an
// immediate repaint.
class HostProgress final : public Progress {
public:
  // `shownSource`, when not empty, is what the source field shows while the run goes on.
  HostProgress(EngineHost &host, std::string_view word, std::string shownSource = {})
      : m_host(host), m_word(word), m_strShownSource(std::move(shownSource)) {}

  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override;
  void RemovingOlderSet() override;

private:
  EngineHost &m_host;
  std::string_view m_word;
  std::string m_strShownSource;
};

} // namespace quorvel
