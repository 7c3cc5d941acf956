#include "cli/ConsoleHost.h"

#include "cli/ConsoleText.h"

#include <string>

namespace quorvel::cli {

Flow ConsoleHost::PieceDone(std::uint64_t pieceNumber, std::uint64_t) {
  if (!m_terminal)
    return Flow::proceed;
  if (!m_progress)
    m_progress.emplace(m_terminal, m_totalBytes);
  m_progress->Draw(pieceNumber, m_bytesDone);
  return Flow::proceed;
}

Flow ConsoleHost::BytesDone(std::uint64_t done, std::uint64_t total) {
  m_bytesDone = done;
  m_totalBytes = total;
  return Flow::proceed;
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
