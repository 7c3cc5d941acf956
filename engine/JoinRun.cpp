#include "engine/JoinRun.h"

#include "engine/ChecksumList.h"
#include "engine/FlushBehind.h"
#include "engine/Folder.h"
#include "engine/HashingCopier.h"
#include "engine/HeldFiles.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/StagedFile.h"

#include <optional>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

class Joiner {
public:
  Joiner(const JoinRequest &request, PieceSet set, Progress &progress)
      : m_request(request), m_progress(progress), m_set(std::move(set)) {}

  Outcome Run();

private:
  std::string PiecePath(std::uint64_t pieceNumber) const {
    return m_folder.PathOf(m_set.PieceName(pieceNumber));
  }
  std::string ListPath() const { return m_folder.PathOf(m_set.ListName()); }
  // Holds and reads the list beside the first piece, if there is one.
  std::optional<Outcome> ReadList();
  // The first look at the pieces on disk: the set is the listed pieces, or without a list what
  // this program's split makes.
  std::optional<Outcome> LookAtListedSet();
  std::optional<Outcome> LookAtUnlistedSet();
  // Holds every piece and measures it again: the set must be the one first looked at.
  std::optional<Outcome> HoldSet();
  // The length a piece of a set without a list has: every one but the last as long as the first.
  std::uint64_t UnlistedLength(std::uint64_t pieceNumber) const {
    return pieceNumber == m_pieceCount ? m_lastLength : m_firstLength;
  }
  Outcome Copy(StagedFile &output);
  // Compares the pieces' digests, as they come, with the list's.
  std::optional<Outcome> CheckDigests(const std::vector<Sha256::Digest> &digests);

  const JoinRequest &m_request;
  Progress &m_progress;
  const PieceSet m_set;
  Folder m_folder;
  HeldFiles m_heldList;
  std::optional<ListedSet> m_list;
  // Held for the whole run: no split takes the set, and no other program writes it, while it is
  // read.
  HeldFiles m_heldPieces;
  std::uint64_t m_pieceCount = 0;
  std::uint64_t m_firstLength = 0;
  std::uint64_t m_lastLength = 0;
  std::uint64_t m_total = 0;
  std::uint64_t m_checked = 0;
};

std::optional<Outcome> Joiner::ReadList() {
  FileException error;
  switch (m_folder.Look(m_set.ListName())) {
  case Folder::Entry::absent:
    return std::nullopt;
  case Folder::Entry::other:
    return Outcome::ListRefused(ListPath(), ListProblem{ListFault::notAFile});
  case Folder::Entry::file:
    break;
  }
  if (!m_heldList.Hold(m_folder, m_set.ListName(), &error))
    return Outcome::Failed(Stage::open, error);
  if (m_heldList.FirstOpenForWriting())
    return Outcome::Failed(Stage::open, HeldFiles::HeldElsewhere(ListPath()));
  HeldFiles::Lent list(m_heldList, 0, ListPath());
  m_list.emplace(m_set);
  if (auto problem = m_list->Read(*list, list->GetLength()))
    return Outcome::ListRefused(ListPath(), std::move(*problem));
  return std::nullopt;
}

std::optional<Outcome> Joiner::LookAtListedSet() {
  m_pieceCount = m_list->PieceCount();
  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_pieceCount; ++pieceNumber) {
    switch (m_folder.Look(m_set.PieceName(pieceNumber))) {
    case Folder::Entry::absent:
      return Outcome::Refused(Refusal::pieceMissing, PiecePath(pieceNumber));
    case Folder::Entry::other:
      return Outcome::Refused(Refusal::pieceNotFile, PiecePath(pieceNumber));
    case Folder::Entry::file:
      break;
    }
  }
  // Without the whole length, a list that lost its last lines would pass for a shorter set.
  if (!m_list->WholeLength() &&
      m_folder.Look(m_set.PieceName(m_pieceCount + 1)) != Folder::Entry::absent)
    return Outcome::Refused(Refusal::pieceNotListed, PiecePath(m_pieceCount + 1));
  return std::nullopt;
}

// Every split ends with a piece shorter than the others, possibly empty, and makes at least two.
std::optional<Outcome> Joiner::LookAtUnlistedSet() {
  m_pieceCount = m_set.CountIn(m_folder);
  std::uint64_t firstOfOtherLength = 0;
  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_pieceCount; ++pieceNumber) {
    std::uint64_t length = 0;
    if (m_folder.Look(m_set.PieceName(pieceNumber), &length) != Folder::Entry::file)
      return Outcome::Refused(Refusal::pieceNotFile, PiecePath(pieceNumber));
    if (pieceNumber == 1)
      m_firstLength = length;
    else if (pieceNumber < m_pieceCount && length != m_firstLength && !firstOfOtherLength)
      firstOfOtherLength = pieceNumber;
    m_lastLength = length;
  }
  if (m_pieceCount < 2 || m_set.HighestIn(m_folder) > m_pieceCount || m_lastLength >= m_firstLength)
    return Outcome::Refused(Refusal::pieceMissing, PiecePath(m_pieceCount + 1));
  if (firstOfOtherLength)
    return Outcome::Refused(Refusal::pieceLength, PiecePath(firstOfOtherLength));
  return std::nullopt;
}

std::optional<Outcome> Joiner::HoldSet() {
  if (const std::uint64_t room = HeldFiles::Room(m_pieceCount); room < m_pieceCount) {
    Outcome tooMany = Outcome::Refused(Refusal::tooManyPieces, PiecePath(1), m_pieceCount);
    tooMany.limit = room;
    return tooMany;
  }
  FileException error;
  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_pieceCount; ++pieceNumber) {
    if (!m_heldPieces.Hold(m_folder, m_set.PieceName(pieceNumber), &error))
      return Outcome::Failed(Stage::open, error);
    const std::uint64_t length =
        HeldFiles::Lent(m_heldPieces, pieceNumber - 1, PiecePath(pieceNumber))->GetLength();
    if (!m_list && length != UnlistedLength(pieceNumber))
      return Outcome::Refused(Refusal::pieceChanged, PiecePath(pieceNumber));
    m_total += length;
  }
  if (const auto writing = m_heldPieces.FirstOpenForWriting())
    return Outcome::Failed(Stage::open, HeldFiles::HeldElsewhere(PiecePath(*writing + 1)));
  return std::nullopt;
}

std::optional<Outcome> Joiner::CheckDigests(const std::vector<Sha256::Digest> &digests) {
  HeldFiles::Lent list(m_heldList, 0, ListPath());
  for (const Sha256::Digest &digest : digests) {
    ++m_checked;
    const auto listed = m_list->DigestOf(*list, m_checked);
    if (!listed)
      return Outcome::Refused(Refusal::pieceChanged, ListPath());
    if (digest != *listed)
      return Outcome::Refused(Refusal::pieceDiffers, PiecePath(m_checked));
  }
  return std::nullopt;
}

Outcome Joiner::Copy(StagedFile &output) {
  std::uint64_t joined = 0;
  HashingCopier copier;
  FlushBehind flushBehind(output.Contents());
  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_pieceCount; ++pieceNumber) {
    HeldFiles::Lent piece(m_heldPieces, pieceNumber - 1, PiecePath(pieceNumber));
    // Without a list the set is joined as it was measured once held; a list checks every byte.
    const std::uint64_t length = m_list ? piece->GetLength() : UnlistedLength(pieceNumber);
    if (!copier.Copy(*piece, output.Contents(), length, [&](std::uint64_t copied) {
          flushBehind.Reached(joined + copied);
          return m_progress.BytesDone(joined + copied, m_total);
        }))
      return Outcome::Cancelled();
    if (!m_heldPieces.Untouched(pieceNumber - 1))
      return Outcome::Refused(Refusal::pieceChanged, PiecePath(pieceNumber));
    const auto digests = copier.TakeDigests(pieceNumber == m_pieceCount);
    if (auto differs = m_list ? CheckDigests(digests) : std::nullopt)
      return *differs;
    joined += length;
    if (m_progress.PieceDone(pieceNumber, m_pieceCount) == Flow::stop)
      return Outcome::Cancelled();
  }
  if (m_list && !m_heldList.Untouched(0))
    return Outcome::Refused(Refusal::pieceChanged, ListPath());
  // Checked once every piece has matched its line, so that a damaged piece is named as such: a
  // list that lost its last lines lists a shorter set.
  if (m_list && m_list->WholeLength() && *m_list->WholeLength() != joined)
    return Outcome::ListRefused(
        ListPath(), ListProblem{ListFault::wholeLength, 1, *m_list->WholeLength(), joined});

  // Every piece is read: the set is let go before the output takes its name, which may be a link
  // to one of its pieces.
  m_heldPieces.LetGo();
  m_heldList.LetGo();
  flushBehind.Finish();
  output.Commit();
  File::FlushFolder(m_request.destFolder);
  output.Close();
  return Outcome::Done();
}

Outcome Joiner::Run() {
  FileException error;
  if (!m_folder.Open(FolderOf(m_request.firstPiece), &error))
    return Outcome::Failed(Stage::open, error);
  // The output's name is checked first, as a name no file can take (a device's, on Windows)
  // would otherwise be blamed on the set's list of that name. Nothing takes the name unless the
  // set proves whole. Created before the set is held: its name may be a link to the first piece.
  StagedFile output;
  if (!output.Open(JoinFolder(m_request.destFolder, m_set.Name()), &error))
    return Outcome::Failed(Stage::open, error);
  if (auto stopped = ReadList())
    return *stopped;
  if (auto stopped = m_list ? LookAtListedSet() : LookAtUnlistedSet())
    return *stopped;
  if (auto stopped = HoldSet())
    return *stopped;
  return Copy(output);
}

} // namespace

std::string JoinedPathOf(const JoinRequest &request) {
  const auto set = PieceSet::OfFirstPiece(SourceNameOf(request.firstPiece));
  if (!set || request.destFolder.empty())
    return {};
  return JoinFolder(request.destFolder, set->Name());
}

Outcome RunJoin(const JoinRequest &request, Progress &progress) {
  FileException error;
  if (!request.firstPiece.empty()) {
    // Only proves that the chosen file can be read.
    File chosen;
    if (!chosen.Open(request.firstPiece, File::kReadShared, &error))
      return Outcome::Failed(Stage::source, error);
  }
  const std::string_view chosenName = SourceNameOf(request.firstPiece);
  if (chosenName.empty())
    return Outcome::Refused(Refusal::noSource);
  if (request.destFolder.empty())
    return Outcome::Refused(Refusal::noDestination);
  std::optional<PieceSet> set = PieceSet::OfFirstPiece(chosenName);
  if (!set)
    return Outcome::Refused(Refusal::notFirstPiece);
  try {
    return Joiner(request, std::move(*set), progress).Run();
  } catch (const FileException &failure) {
    return Outcome::Failed(Stage::copy, failure);
  }
}

} // namespace quorvel
