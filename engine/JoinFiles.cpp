#include "engine/JoinFiles.h"

#include "engine/BlockCopier.h"
#include "engine/HostReports.h"
#include "engine/PieceNaming.h"

#include <string>

namespace quorvel {
namespace {

constexpr int kJoinProgressRange = 500;

void ReportJoinedPiece(EngineHost &host, std::uint64_t pieceNumber) {
  host.SetProgressRange(0, kJoinProgressRange);
  for (int position = 0; position < kJoinProgressRange; ++position)
    host.SetProgressPos(position);
  ReportPieceStatus(host, pieceNumber, "files joined");
}

} // namespace

int JoinFiles(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);

  FileException error;
  if (!host.m_strSourcePath.empty()) {
    // Only proves that the chosen file can be read.
    if (!host.m_file.Open(host.m_strSourcePath, File::kReadShared, &error)) {
      ReportSourceCheckFailure(host, error);
      return 1;
    }
    host.m_strSourceName = SourceNameOf(host.m_strSourcePath);
    host.m_file.Close();
  }

  if (host.m_strSourcePath.empty() || host.m_strSourceName.empty()) {
    ShowNotice(host, "Please select a file.");
    return 1;
  }

  const std::string pieceFolder =
      host.m_strSourcePath.substr(0, host.m_strSourcePath.size() - host.m_strSourceName.size());

  if (host.m_strDestFolder.empty()) {
    ShowNotice(host, "Please select a folder to save.");
    return 1;
  }

  if (!host.m_strSourceName.starts_with("1_")) {
    host.AfxMessageBox("Source file name error...", MessageBoxIconStop);
    return 1;
  }

  host.m_strSourceName = JoinedFileName(host.m_strSourceName);
  const std::string joinedName = host.m_strSourceName;
  host.m_strSourcePath = JoinOutputPath(host.m_strDestFolder, joinedName);

  File output;
  if (!output.Open(host.m_strSourcePath, File::kCreateExclusive, &error)) {
    ShowFileError(host, error);
    return 1;
  }

  BlockCopier copier;
  for (std::uint64_t pieceNumber = 1;; ++pieceNumber) {
    if (!host.m_file.Open(JoinPiecePath(pieceFolder, pieceNumber, joinedName), File::kReadExclusive,
                          &error)) {
      // Only a missing number ends the pieces; one that exists but cannot be read must not pass
      // for the end of the file.
      if (error.m_cause == FileCause::fileNotFound)
        break;
      ShowFileError(host, error);
      output.Close();
      return 1;
    }
    AbortOnExit pieceGuard(host.m_file);
    while (copier.Transfer(host.m_file, output, kJoinChunkSize) != 0) {
    }
    host.m_file.Close();
    ReportJoinedPiece(host, pieceNumber);
  }

  output.Close();
  host.m_strSourcePath.clear();
  host.m_strSourceName.clear();
  host.UpdateData(false);
  return 0;
}

} // namespace quorvel
