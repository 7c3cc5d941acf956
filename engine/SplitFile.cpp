#include "engine/SplitFile.h"

#include "engine/BlockCopier.h"
#include "engine/HostReports.h"
#include "engine/PieceNaming.h"

#include <string>

namespace quorvel {

std::uint64_t GetPieceSize(EngineHost &host) { return PieceSizeForIndex(host.GetSizeSelection()); }

int SplitFile(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const std::uint64_t pieceSize = GetPieceSize(host);
  const std::uint64_t blockSize = ReadBlockSize(pieceSize);

  if (host.m_strSourcePath.empty()) {
    ShowNotice(host, "Please select a file.");
    return 1;
  }

  FileException error;
  if (!host.m_file.Open(host.m_strSourcePath, File::kReadShared, &error)) {
    ReportSourceCheckFailure(host, error);
    return 1;
  }
  AbortOnExit sourceGuard(host.m_file);
  const std::uint64_t sourceLength = host.m_file.GetLength();

  if (host.m_strDestFolder.empty()) {
    ShowNotice(host, "Please select a folder to save.");
    host.m_file.Close();
    return 1;
  }

  if (sourceLength < pieceSize) {
    ShowNotice(host, "File length is " + std::to_string(sourceLength) + " byte, No need to split.");
    host.m_file.Close();
    host.m_strSourcePath.clear();
    host.m_strSourceName.clear();
    host.UpdateData(false);
    return 1;
  }

  // Every split ends with a piece that holds the remainder, empty when the length is a multiple
  // of the piece size; counting it lets the bar end full.
  const int pieceCount = ToProgressUnits(sourceLength / pieceSize + 1);
  const std::string sourceName = host.m_file.GetFileName();
  BlockCopier copier;
  File piece;
  for (std::uint64_t pieceNumber = 1;; ++pieceNumber) {
    const std::string piecePath = SplitPiecePath(host.m_strDestFolder, pieceNumber, sourceName);
    if (!piece.Open(piecePath, File::kCreateExclusive, &error)) {
      ShowFileError(host, error);
      host.m_file.Close();
      return 1;
    }

    std::uint64_t lastRead = 0;
    do {
      lastRead = copier.Transfer(host.m_file, piece, blockSize);
    } while (lastRead != 0 && piece.GetLength() < pieceSize);
    piece.Close();

    host.SetProgressRange(0, pieceCount);
    host.SetProgressPos(ToProgressUnits(pieceNumber));
    ReportPieceStatus(host, pieceNumber, "Files created");

    if (lastRead == 0)
      break;
  }

  host.m_file.Close();
  host.m_strSourcePath.clear();
  host.m_strSourceName.clear();
  host.UpdateData(false);
  return 0;
}

} // namespace quorvel
