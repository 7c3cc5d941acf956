#include "cli/ConsoleHost.h"

#include "cli/ConsoleText.h"

#include <string>

namespace quorvel::cli {

Flow ConsoleHost::PieceDone(std::uint64_t pieceNumber, std::uint64_t) {
  m_pieceNumber = pieceNumber;
  Show();
  return Flow::proceed;
}

Flow ConsoleHost::BytesDone(std::uint64_t done, std::uint64_t total) {
  m_bytesDone = done;
  m_totalBytes = total;
  Show();
  return Flow::proceed;
}

void ConsoleHost::RemovingOlderSet() {
  m_progress.reset();
  WriteText(stderr, "quorvel-split: no room to keep the older set until the new one is whole: "
                    "removing it first\n");
}

void ConsoleHost::Show() {
  if (!m_terminal)
    return;
  if (!m_progress)
    m_progress.emplace(m_terminal, m_start);
  m_progress->Update(m_pieceNumber, m_bytesDone, m_totalBytes, ProgressLine::Clock::now());
}

int ConsoleHost::Report(const Outcome &outcome) {
  // Ends the progress line so that what follows starts on a line of its own.
  m_progress.reset();
  std::string text;
  switch (outcome.kind) {
  case Outcome::Kind::done:
    return 0;
  case Outcome::Kind::cancelled:
    return 1;
  case Outcome::Kind::refused:
    text = outcome.RefusalText();
    break;
  case Outcome::Kind::failed:
    text = outcome.failure.GetErrorMessage(outcome.stage == Stage::copy
                                               ? FileException::kFailureReportBufferSize
                                               : FileException::kOpenErrorBufferSize);
    break;
  }
  WriteText(stderr, "quorvel-split: " + text + "\n");
  return 1;
}

} // namespace quorvel::cli
