#include "engine/SplitFile.h"

#include "engine/BlockCopier.h"
#include "engine/HostReports.h"
#include "engine/PieceNaming.h"
#include "engine/StagedFile.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

constexpr std::size_t kMaxPendingPieces = 64;
constexpr std::uint64_t kMaxPendingBytes = std::uint64_t{32} << 20;

void ReportPiece(EngineHost &host, std::uint64_t pieceNumber, std::uint64_t pieceCount) {
  host.SetProgressRange(0, ToProgressUnits(pieceCount));
  host.SetProgressPos(ToProgressUnits(pieceNumber));
  ReportPieceStatus(host, pieceNumber, "Files created");
}

// Pieces numbered after this set's last one are left from an earlier split of a longer file of the
// same name: joined in, they would make a file that never existed.
bool RemoveStaleContinuation(EngineHost &host, std::uint64_t firstStale,
                             const std::string &sourceName) {
  for (std::uint64_t pieceNumber = firstStale;; ++pieceNumber) {
    const std::string piecePath = SplitPiecePath(host.m_strDestFolder, pieceNumber, sourceName);
    if (!File::NameExists(piecePath))
      return true;
    FileException error;
    if (!File::Remove(piecePath, &error)) {
      ShowFileError(host, error);
      return false;
    }
  }
}

} // namespace

int SplitFile(EngineHost &host) {
  WaitCursor waitCursor(host);
  host.UpdateData(true);
  const std::uint64_t pieceSize = host.GetPieceSize();
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
  // of the piece size.
  const std::uint64_t pieceCount = sourceLength / pieceSize + 1;
  const std::string sourceName = host.m_file.GetFileName();
  BlockCopier copier;
  // Pieces copied but not yet in place. Flushing several at once lets the device write them while
  // the next ones are copied, and waits once for all of them instead of once for each. The first
  // piece goes in place alone and stays locked to the end: while it is held, no other run takes
  // this set.
  StagedFile firstPiece;
  std::vector<std::pair<std::uint64_t, std::unique_ptr<StagedFile>>> pending;
  std::uint64_t pendingBytes = 0;
  const auto putPendingInPlace = [&] {
    for (auto &[pieceNumber, piece] : pending) {
      piece->Commit();
      piece->Close();
      ReportPiece(host, pieceNumber, pieceCount);
    }
    pending.clear();
    pendingBytes = 0;
  };

  for (std::uint64_t pieceNumber = 1; pieceNumber <= pieceCount; ++pieceNumber) {
    auto laterPiece = pieceNumber == 1 ? nullptr : std::make_unique<StagedFile>();
    StagedFile &piece = laterPiece ? *laterPiece : firstPiece;
    if (!piece.Open(SplitPiecePath(host.m_strDestFolder, pieceNumber, sourceName), &error)) {
      putPendingInPlace();
      ShowFileError(host, error);
      host.m_file.Close();
      return 1;
    }

    const std::uint64_t pieceLength =
        std::min(pieceSize, sourceLength - (pieceNumber - 1) * pieceSize);
    for (std::uint64_t copied = 0; copied < pieceLength; copied += blockSize)
      copier.Copy(host.m_file, piece.Contents(), std::min(blockSize, pieceLength - copied));
    piece.Contents().StartFlush();

    if (!laterPiece) {
      piece.Commit();
      ReportPiece(host, pieceNumber, pieceCount);
      continue;
    }
    pending.emplace_back(pieceNumber, std::move(laterPiece));
    pendingBytes += pieceLength;
    if (pending.size() == kMaxPendingPieces || pendingBytes >= kMaxPendingBytes ||
        pieceNumber == pieceCount)
      putPendingInPlace();
  }

  if (!RemoveStaleContinuation(host, pieceCount + 1, sourceName)) {
    host.m_file.Close();
    return 1;
  }
  File::FlushFolder(host.m_strDestFolder);
  firstPiece.Close();
  host.m_file.Close();
  host.m_strSourcePath.clear();
  host.m_strSourceName.clear();
  host.UpdateData(false);
  return 0;
}

} // namespace quorvel
