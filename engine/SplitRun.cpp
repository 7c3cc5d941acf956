#include "engine/SplitRun.h"

#include "engine/ChecksumList.h"
#include "engine/CommitTogether.h"
#include "engine/FlushBehind.h"
#include "engine/Folder.h"
#include "engine/HashingCopier.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/StagedFile.h"

#include <algorithm>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

// Pieces copied but not yet in place. They are flushed and put in place together while the next
// ones are copied, so that the device writes while the source is read, and a file system that
// commits its journal once for many flushes waits once for all of them.
constexpr std::size_t kMaxPendingPieces = 64;
constexpr std::uint64_t kMaxPendingBytes = std::uint64_t{32} << 20;

class Splitter {
public:
  Splitter(const SplitRequest &request, File &source, Progress &progress, std::uint64_t length)
      : m_request(request), m_source(source), m_progress(progress), m_length(length),
        m_pieceCount(length / request.pieceSize + 1), m_set(source.GetFileName()) {}
  Splitter(const Splitter &) = delete;
  Splitter &operator=(const Splitter &) = delete;
  // A split that does not finish removes what it put under the set's names.
  ~Splitter();

  Outcome Run();

private:
  std::string PathOf(std::string_view name) const { return m_folder.PathOf(name); }
  std::uint64_t PieceLength(std::uint64_t pieceNumber) const {
    return std::min(m_request.pieceSize, m_length - (pieceNumber - 1) * m_request.pieceSize);
  }
  std::optional<FileException> CheckNamesFit() const;
  std::optional<FileException> RemoveOldSet();
  // Copies the next piece into the file; false when the progress asked to stop.
  bool CopyPiece(std::uint64_t pieceNumber, File &piece);
  // Puts the pending pieces in place while the next ones are copied.
  void StartCommittingPending();
  // Waits until the pieces last started are in place, and reports them; false when the progress
  // asked to stop.
  bool PutCommittedInPlace();
  std::optional<FileException> WriteList();

  const SplitRequest &m_request;
  File &m_source;
  Progress &m_progress;
  const std::uint64_t m_length;
  const std::uint64_t m_pieceCount;
  const PieceSet m_set;
  Folder m_folder;
  HashingCopier m_copier;
  std::uint64_t m_copied = 0;
  // An empty first piece holds the set's name while the split runs; the first piece's bytes take
  // it last, once every other piece and the list are in place.
  std::optional<StagedFile> m_holder;
  StagedFile m_firstPiece;
  using Pieces = std::vector<std::pair<std::uint64_t, std::unique_ptr<StagedFile>>>;
  Pieces m_pending;
  Pieces m_committing;
  // Ends before the pieces it commits are discarded.
  std::future<void> m_commit;
  std::vector<std::string> m_written;
  bool m_done = false;
};

Splitter::~Splitter() {
  if (m_done)
    return;
  m_holder.reset();
  for (const std::string &name : m_written)
    m_folder.Remove(name, nullptr);
}

std::optional<FileException> Splitter::CheckNamesFit() const {
  FileException error;
  for (const std::string &name : {m_set.PieceName(m_pieceCount), m_set.ListName()}) {
    if (!m_folder.NameFits(name, &error))
      return error;
  }
  return std::nullopt;
}

// An old list or old pieces, joined with the new ones, would make a file that never existed: the
// list goes, the pieces this split will replace, and those after them up to the first number
// missing.
std::optional<FileException> Splitter::RemoveOldSet() {
  FileException error;
  if (!m_folder.Remove(m_set.ListName(), &error))
    return error;
  for (std::uint64_t pieceNumber = 2;; ++pieceNumber) {
    const std::string name = m_set.PieceName(pieceNumber);
    if (pieceNumber > m_pieceCount && m_folder.Look(name) == Folder::Entry::absent)
      return std::nullopt;
    if (!m_folder.Remove(name, &error))
      return error;
  }
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

void Splitter::StartCommittingPending() {
  m_committing = std::exchange(m_pending, {});
  std::vector<StagedFile *> pieces;
  for (auto &[pieceNumber, piece] : m_committing)
    pieces.push_back(piece.get());
  m_commit = std::async(std::launch::async, [pieces] { CommitTogether(pieces); });
}

bool Splitter::PutCommittedInPlace() {
  if (!m_commit.valid())
    return true;
  std::exception_ptr failure;
  try {
    m_commit.get();
  } catch (...) {
    failure = std::current_exception();
  }
  const Pieces committed = std::exchange(m_committing, {});
  for (auto &[pieceNumber, piece] : committed) {
    if (piece->IsCommitted())
      m_written.push_back(m_set.PieceName(pieceNumber));
  }
  if (failure)
    std::rethrow_exception(failure);
  for (auto &[pieceNumber, piece] : committed) {
    piece->Close();
    if (m_progress.PieceDone(pieceNumber, m_pieceCount) == Flow::stop)
      return false;
  }
  return true;
}

std::optional<FileException> Splitter::WriteList() {
  StagedFile list;
  FileException error;
  if (!list.Open(PathOf(m_set.ListName()), &error))
    return error;
  const std::string text = ChecksumList{m_length, m_copier.TakeDigests(true)}.Format(m_set);
  list.Contents().Write(text.data(), text.size());
  list.Commit();
  m_written.push_back(m_set.ListName());
  list.Close();
  return std::nullopt;
}

Outcome Splitter::Run() {
  const std::string firstPath = JoinFolder(m_request.destFolder, m_set.PieceName(1));
  FileException error;
  if (!m_folder.Open(m_request.destFolder, &error)) {
    // Creating the first piece tells why, naming it.
    m_firstPiece.Open(firstPath, &error);
    return Outcome::Failed(Stage::open, error);
  }
  if (const auto tooLong = CheckNamesFit())
    return Outcome::Failed(Stage::open, *tooLong);

  m_holder.emplace();
  if (!m_firstPiece.Open(firstPath, &error) || !m_holder->Open(firstPath, &error))
    return Outcome::Failed(Stage::open, error);
  m_holder->Commit();
  m_written.push_back(m_set.PieceName(1));
  if (const auto refused = RemoveOldSet())
    return Outcome::Failed(Stage::open, *refused);
  // On the device before any new piece is: the order of the names is what proves a set.
  File::FlushFolder(m_request.destFolder);

  if (!CopyPiece(1, m_firstPiece.Contents()) || m_progress.PieceDone(1, m_pieceCount) == Flow::stop)
    return Outcome::Cancelled();
  std::uint64_t pendingBytes = 0;
  for (std::uint64_t pieceNumber = 2; pieceNumber <= m_pieceCount; ++pieceNumber) {
    auto piece = std::make_unique<StagedFile>();
    if (!piece->Open(PathOf(m_set.PieceName(pieceNumber)), &error))
      return Outcome::Failed(Stage::open, error);
    if (!CopyPiece(pieceNumber, piece->Contents()))
      return Outcome::Cancelled();
    pendingBytes += PieceLength(pieceNumber);
    m_pending.emplace_back(pieceNumber, std::move(piece));
    if (m_pending.size() == kMaxPendingPieces || pendingBytes >= kMaxPendingBytes ||
        pieceNumber == m_pieceCount) {
      pendingBytes = 0;
      if (!PutCommittedInPlace())
        return Outcome::Cancelled();
      StartCommittingPending();
    }
  }
  if (!PutCommittedInPlace())
    return Outcome::Cancelled();

  if (const auto refused = WriteList())
    return Outcome::Failed(Stage::open, *refused);
  File::FlushFolder(m_request.destFolder);
  m_holder.reset();
  m_firstPiece.Commit();
  File::FlushFolder(m_request.destFolder);
  m_firstPiece.Close();
  m_done = true;
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
