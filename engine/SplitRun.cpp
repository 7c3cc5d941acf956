#include "engine/SplitRun.h"

#include "engine/ChecksumList.h"
#include "engine/FlushBehind.h"
#include "engine/FlushTogether.h"
#include "engine/Folder.h"
#include "engine/HashingCopier.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/StagedSet.h"
#include "engine/StagedSetFiles.h"

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

// Pieces copied but not yet flushed. They are flushed together while the next ones are copied, so
// that the device writes while the source is read, and a file system that commits its journal
// once for many flushes waits once for all of them.
constexpr std::size_t kMaxPendingPieces = 64;
constexpr std::uint64_t kMaxPendingBytes = std::uint64_t{32} << 20;

// How often a run waiting for its flushes asks whether to stop.
constexpr std::chrono::milliseconds kStopPoll{50};

std::uint64_t RoundedUp(std::uint64_t bytes, std::uint64_t unit) {
  return (bytes + unit - 1) / unit * unit;
}

class Splitter {
public:
  Splitter(const SplitRequest &request, File &source, Progress &progress, std::uint64_t length)
      : m_request(request), m_source(source), m_progress(progress), m_length(length),
        m_pieceCount(length / request.pieceSize + 1), m_set(source.GetFileName()),
        m_staged(m_set, m_pieceCount) {}

  Outcome Run();

private:
  std::uint64_t PieceLength(std::uint64_t pieceNumber) const {
    return std::min(m_request.pieceSize, m_length - (pieceNumber - 1) * m_request.pieceSize);
  }
  std::optional<FileException> CheckNamesFit() const;
  // The room the set takes on a file system that counts in `unit`.
  std::uint64_t RoomNeeded(std::uint64_t unit) const;
  // The room the older set of the name takes, which its removal would free.
  std::uint64_t OlderRoom(std::uint64_t unit) const;
  // Keeps the older set beside the new one where both fit, removes it first where only the new
  // one fits, and refuses before anything changes where neither does.
  std::optional<Outcome> MakeRoom();
  // Copies the next piece into the file; false when the progress asked to stop.
  bool CopyPiece(std::uint64_t pieceNumber, File &piece);
  // Hands the pieces copied since the last call to be flushed, once those handed before are on
  // the device; false when the progress asked to stop meanwhile.
  bool FlushPending();
  // Waits for the pieces handed last; false when the progress asked to stop meanwhile.
  bool WaitForFlush();
  // Writes the list's lines of the pieces hashed by now, or, when `last`, of all.
  void WriteListLines(bool last);

  const SplitRequest &m_request;
  File &m_source;
  Progress &m_progress;
  const std::uint64_t m_length;
  const std::uint64_t m_pieceCount;
  const PieceSet m_set;
  Folder m_folder;
  StagedSet m_staged;
  HashingCopier m_copier;
  std::uint64_t m_copied = 0;
  File m_list;
  ChecksumListWriter m_listLines{m_set, m_length};
  std::vector<File> m_pending;
  std::uint64_t m_pendingBytes = 0;
  std::future<void> m_flushing;
};

std::optional<FileException> Splitter::CheckNamesFit() const {
  FileException error;
  for (const std::string &name : {m_set.PieceName(m_pieceCount), m_set.ListName()}) {
    if (!m_folder.NameFits(name, &error))
      return error;
  }
  return std::nullopt;
}

std::uint64_t Splitter::RoomNeeded(std::uint64_t unit) const {
  const std::uint64_t pieces = (m_pieceCount - 1) * RoundedUp(m_request.pieceSize, unit) +
                               RoundedUp(PieceLength(m_pieceCount), unit);
  // A list line is a digest, two spaces and a piece name, which escaping at most doubles.
  const std::uint64_t listLine = 2 * Sha256::Digest{}.size() + 4 + 2 * m_set.PieceName(m_pieceCount).size();
  const std::uint64_t list = (m_pieceCount + 1) * listLine + 2 * m_set.Name().size();
  // And one unit for the folder the set is staged in.
  return pieces + RoundedUp(list, unit) + unit;
}

std::uint64_t Splitter::OlderRoom(std::uint64_t unit) const {
  std::uint64_t room = 0;
  staging::ForEachOlderFile(m_folder, m_set, [&](std::uint64_t number) {
    std::uint64_t length = 0;
    m_folder.Look(staging::FinalName(m_set, number), &length);
    room += RoundedUp(length, unit);
    return true;
  });
  return room;
}

std::optional<Outcome> Splitter::MakeRoom() {
  const std::optional<Folder::Space> space = m_folder.FreeSpace();
  if (!space)
    return std::nullopt;
  const std::uint64_t needed = RoomNeeded(space->unit);
  if (needed <= space->free)
    return std::nullopt;
  const std::uint64_t room = space->free + OlderRoom(space->unit);
  if (needed > room) {
    Outcome refused = Outcome::Refused(Refusal::noRoom, m_request.destFolder, needed);
    refused.room = room;
    return refused;
  }
  m_progress.RemovingOlderSet();
  FileException error;
  if (!m_staged.RemoveOlder(&error))
    return Outcome::Failed(Stage::open, error);
  return std::nullopt;
}

bool Splitter::CopyPiece(std::uint64_t pieceNumber, File &piece) {
  const std::uint64_t pieceLength = PieceLength(pieceNumber);
  // A large piece is flushed as it is written, as small ones are by the batch.
  FlushBehind flushBehind(piece);
  if (!m_copier.Copy(m_source, piece, pieceLength, [&](std::uint64_t copied) {
        flushBehind.Reached(copied);
        return m_progress.BytesDone(m_copied + copied, m_length);
      }))
    return false;
  flushBehind.Finish();
  m_copied += pieceLength;
  return true;
}

bool Splitter::WaitForFlush() {
  if (!m_flushing.valid())
    return true;
  while (m_flushing.wait_for(kStopPoll) != std::future_status::ready) {
    if (m_progress.BytesDone(m_copied, m_length) == Flow::stop)
      return false;
  }
  m_flushing.get();
  return true;
}

bool Splitter::FlushPending() {
  if (!WaitForFlush())
    return false;
  m_pendingBytes = 0;
  m_flushing = FlushInBackground(std::exchange(m_pending, {}));
  WriteListLines(false);
  return true;
}

void Splitter::WriteListLines(bool last) {
  for (const Sha256::Digest &digest : m_copier.TakeDigests(last))
    m_listLines.Add(digest);
  const std::string text = m_listLines.Take();
  m_list.Write(text.data(), text.size());
}

Outcome Splitter::Run() {
  FileException error;
  if (!m_staged.Open(m_request.destFolder, &error) || !m_folder.Open(m_request.destFolder, &error))
    return Outcome::Failed(Stage::open, error);
  if (const auto tooLong = CheckNamesFit())
    return Outcome::Failed(Stage::open, *tooLong);
  if (auto refused = MakeRoom())
    return *refused;
  m_list = m_staged.Create(StagedSet::kList);

  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_pieceCount; ++pieceNumber) {
    File piece = m_staged.Create(pieceNumber);
    if (!CopyPiece(pieceNumber, piece))
      return Outcome::Cancelled();
    m_pendingBytes += PieceLength(pieceNumber);
    m_pending.push_back(std::move(piece));
    if (m_progress.PieceDone(pieceNumber, m_pieceCount) == Flow::stop)
      return Outcome::Cancelled();
    if ((m_pending.size() == kMaxPendingPieces || m_pendingBytes >= kMaxPendingBytes) &&
        !FlushPending())
      return Outcome::Cancelled();
  }
  if (!FlushPending() || !WaitForFlush())
    return Outcome::Cancelled();
  WriteListLines(true);
  m_list.Flush();
  m_list.Close();
  m_staged.Commit();
  return Outcome::Done();
}

} // namespace

Outcome RunSplit(const SplitRequest &request, Progress &progress) {
  if (request.source.empty())
    return Outcome::Refused(Refusal::noSource);
  File source;
  FileException error;
  if (!source.Open(request.source, File::kReadShared, &error))
    return Outcome::Failed(Stage::source, error);
  try {
    const std::uint64_t length = source.GetLength();
    if (request.destFolder.empty())
      return Outcome::Refused(Refusal::noDestination);
    if (length < request.pieceSize)
      return Outcome::Refused(Refusal::tooShort, {}, length);
    Outcome outcome = Splitter(request, source, progress, length).Run();
    if (outcome.kind == Outcome::Kind::done)
      source.Close();
    return outcome;
  } catch (const FileException &failure) {
    return Outcome::Failed(Stage::copy, failure);
  }
}

} // namespace quorvel
