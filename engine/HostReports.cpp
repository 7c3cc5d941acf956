#include "engine/HostReports.h"

#include <algorithm>
#include <limits>
#include <string>

namespace quorvel {

void ShowNotice(EngineHost &host, std::string_view text) {
  host.ShowMessageBox(text, kNoticeCaption, MessageBoxOk | MessageBoxIconExclamation);
}

void ShowFileError(EngineHost &host, const FileException &error) {
  host.AfxMessageBox(error.GetErrorMessage(FileException::kOpenErrorBufferSize), MessageBoxOk);
}

namespace {

int ReportRefusal(EngineHost &host, const Outcome &outcome) {
  switch (outcome.refusal) {
  case Refusal::noSource:
  case Refusal::noDestination:
    ShowNotice(host, outcome.RefusalText());
    return 1;
  case Refusal::tooShort:
    ShowNotice(host, outcome.RefusalText());
    host.m_strSourcePath.clear();
    host.m_strSourceName.clear();
    host.UpdateData(false);
    return 1;
  default:
    host.AfxMessageBox(outcome.RefusalText(), MessageBoxIconStop);
    return 1;
  }
}

int ReportFailure(EngineHost &host, const Outcome &outcome) {
  switch (outcome.stage) {
  case Stage::source:
    // Lead the user back to the source field.
    ShowFileError(host, outcome.failure);
    host.FocusSourceField();
    return 1;
  case Stage::open:
    ShowFileError(host, outcome.failure);
    return 1;
  case Stage::copy:
    throw outcome.failure;
  }
  return 1;
}

} // namespace

int ReportOutcome(EngineHost &host, const Outcome &outcome) {
  switch (outcome.kind) {
  case Outcome::Kind::done:
    host.m_strSourcePath.clear();
    host.m_strSourceName.clear();
    host.UpdateData(false);
    return 0;
  case Outcome::Kind::refused:
    return ReportRefusal(host, outcome);
  case Outcome::Kind::failed:
    return ReportFailure(host, outcome);
  case Outcome::Kind::cancelled:
    // The user asked for it: the status line says so, and no box.
    host.m_strStatus = kCancelledStatus;
    host.UpdateData(false);
    return 1;
  }
  return 1;
}

int ToProgressUnits(std::uint64_t value) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
  return static_cast<int>(std::min(value, kMax));
}

Flow HostProgress::PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) {
  m_host.SetProgressRange(0, ToProgressUnits(pieceCount));
  m_host.SetProgressPos(ToProgressUnits(pieceNumber));
  m_host.m_strStatus = std::to_string(pieceNumber).append(m_word);
  if (!m_strShownSource.empty())
    m_host.m_strSourcePath = m_strShownSource;
  m_host.UpdateData(false);
  m_host.UpdateWindow();
  return Flow::proceed;
}

} // namespace quorvel

namespace quorvel {

void HostProgress::RemovingOlderSet() {
  m_host.m_strStatus = kRemovingOlderSetStatus;
  m_host.UpdateData(false);
  m_host.UpdateWindow();
}

} // namespace quorvel
