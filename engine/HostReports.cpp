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

void ReportSourceCheckFailure(EngineHost &host, const FileException &error) {
  ShowFileError(host, error);
  host.FocusSourceField();
}

void ReportPieceStatus(EngineHost &host, std::uint64_t pieceNumber, std::string_view word) {
  host.m_strStatus = std::to_string(pieceNumber).append(word);
  host.UpdateData(false);
  host.UpdateWindow();
}

int ToProgressUnits(std::uint64_t value) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
  return static_cast<int>(std::min(value, kMax));
}

} // namespace quorvel
