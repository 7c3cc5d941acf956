#include "engine/JoinFiles.h"

#include "engine/BlockCopier.h"
#include "engine/HostReports.h"
#include "engine/PieceNaming.h"
#include "engine/StagedFile.h"

#include <string>

namespace quorvel {

std::uint64_t CountJoinPieces(std::string_view pieceFolder, std::string_view joinedName) {
  std::uint64_t pieceCount = 0;
  while (File::NameExists(JoinPiecePath(pieceFolder, pieceCount + 1, joinedName)))
    ++pieceCount;
  return pieceCount;
}

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

  // "1_" alone names no joined file.
  if (!host.m_strSourceName.starts_with("1_") || host.m_strSourceName.size() == 2) {
    host.AfxMessageBox("Source file name error...", MessageBoxIconStop);
    return 1;
  }

  host.m_strSourceName = JoinedFileName(host.m_strSourceName);
  const std::string joinedName = host.m_strSourceName;
  host.m_strSourcePath = JoinOutputPath(host.m_strDestFolder, joinedName);

  StagedFile output;
  if (!output.Open(host.m_strSourcePath, &error)) {
    ShowFileError(host, error);
    return 1;
  }

  // Counted first, so that the bar fills as the join goes; the count is the set, and a piece of
  // it that is gone or unreadable by the time it is read stops the join.
  const std::uint64_t pieceCount = CountJoinPieces(pieceFolder, joinedName);
  BlockCopier copier;
  for (std::uint64_t pieceNumber = 1; pieceNumber <= pieceCount; ++pieceNumber) {
    if (!host.m_file.Open(JoinPiecePath(pieceFolder, pieceNumber, joinedName), File::kReadExclusive,
                          &error)) {
      ShowFileError(host, error);
      return 1;
    }
    AbortOnExit pieceGuard(host.m_file);
    copier.Copy(host.m_file, output.Contents(), host.m_file.GetLength());
    host.m_file.Close();
    // The device writes this piece while the next one is read.
    output.Contents().StartFlush();

    host.SetProgressRange(0, ToProgressUnits(pieceCount));
    host.SetProgressPos(ToProgressUnits(pieceNumber));
    ReportPieceStatus(host, pieceNumber, "files joined");
  }

  output.Commit();
  File::FlushFolder(host.m_strDestFolder);
  output.Close();
  host.m_strSourcePath.clear();
  host.m_strSourceName.clear();
  host.UpdateData(false);
  return 0;
}

} // namespace quorvel
