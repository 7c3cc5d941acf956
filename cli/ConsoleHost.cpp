#include "cli/ConsoleHost.h"

#include "base/Text.h"
#include "cli/ConsoleText.h"
#include "res/Messages.h"

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
  Say(res::Texts().removingOlderSetFirst);
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
  switch (outcome.kind) {
  case Outcome::Kind::done:
    return 0;
  case Outcome::Kind::cancelled:
    return 1;
  case Outcome::Kind::refused:
    Say(res::RefusalText(outcome));
    return 1;
  case Outcome::Kind::failed:
    // Cut as the dialog cuts it.
    Say(res::FailureText(outcome.failure, outcome.stage == Stage::copy
                                              ? kFailureReportBufferSize
                                              : res::kOpenErrorBufferSize));
    return 1;
  }
  return 1;
}

} // namespace quorvel::cli
