#include "engine/JoinRun.h"

#include "engine/ChecksumList.h"
#include "engine/FlushBehind.h"
#include "engine/Folder.h"
#include "engine/HashingCopier.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/StagedFile.h"

#include <numeric>
#include <optional>
#include <vector>

namespace quorvel {
namespace {

class Joiner {
public:
  Joiner(const JoinRequest &request, Progress &progress)
      : m_request(request), m_progress(progress),
        m_set(PieceSet::OfFirstPiece(SourceNameOf(request.firstPiece))) {}

  Outcome Run();

private:
  std::string PiecePath(std::uint64_t pieceNumber) const {
    return m_folder.PathOf(m_set.PieceName(pieceNumber));
  }
  // The list beside the first piece, if there is one; a refusal or failure when it cannot be read.
  std::optional<Outcome> ReadList();
  // The pieces' lengths, once the set on disk is one this program's split makes.
  std::optional<Outcome> MeasureListedSet();
  std::optional<Outcome> MeasureUnlistedSet();
  Outcome Copy(StagedFile &output);
  // Compares the pieces' digests, as they come, with the list's.
  std::optional<Outcome> CheckDigests(const std::vector<Sha256::Digest> &digests);

  const JoinRequest &m_request;
  Progress &m_progress;
  const PieceSet m_set;
  Folder m_folder;
  // Held for the whole run: no split takes the set while it is read.
  File m_firstPiece;
  std::optional<ChecksumList> m_list;
  std::vector<std::uint64_t> m_lengths;
  std::uint64_t m_checked = 0;
};

std::optional<Outcome> Joiner::ReadList() {
  const std::string name = m_set.ListName();
  std::uint64_t length = 0;
  switch (m_folder.Look(name, &length)) {
  case Folder::Entry::absent:
    return std::nullopt;
  case Folder::Entry::other:
    return Outcome::Refused(Refusal::listInvalid, m_folder.PathOf(name));
  case Folder::Entry::file:
    break;
  }
  if (length > ChecksumList::kLargestText)
    return Outcome::Refused(Refusal::listInvalid, m_folder.PathOf(name));
  File file;
  FileException error;
  if (!m_folder.OpenFile(file, name, File::kReadShared, &error))
    return Outcome::Failed(Stage::open, error);
  std::string text(length, '\0');
  for (std::uint64_t got = 0, read = 0; got < length; got += read) {
    read = file.Read(text.data() + got, length - got);
    if (read == 0)
      return Outcome::Refused(Refusal::listInvalid, m_folder.PathOf(name));
  }
  file.Close();
  m_list = ChecksumList::Parse(text, m_set);
  if (!m_list)
    return Outcome::Refused(Refusal::listInvalid, m_folder.PathOf(name));
  return std::nullopt;
}

std::optional<Outcome> Joiner::MeasureListedSet() {
  for (std::uint64_t pieceNumber = 1; pieceNumber <= m_list->pieces.size(); ++pieceNumber) {
    std::uint64_t length = 0;
    switch (m_folder.Look(m_set.PieceName(pieceNumber), &length)) {
    case Folder::Entry::absent:
      return Outcome::Refused(Refusal::pieceMissing, PiecePath(pieceNumber));
    case Folder::Entry::other:
      return Outcome::Refused(Refusal::pieceNotFile, PiecePath(pieceNumber));
    case Folder::Entry::file:
      m_lengths.push_back(length);
    }
  }
  return std::nullopt;
}

// Every split ends with a piece shorter than the others, possibly empty, and makes at least two.
std::optional<Outcome> Joiner::MeasureUnlistedSet() {
  const std::uint64_t pieceCount = m_set.CountIn(m_folder);
  for (std::uint64_t pieceNumber = 1; pieceNumber <= pieceCount; ++pieceNumber) {
    std::uint64_t length = 0;
    if (m_folder.Look(m_set.PieceName(pieceNumber), &length) != Folder::Entry::file)
      return Outcome::Refused(Refusal::pieceNotFile, PiecePath(pieceNumber));
    m_lengths.push_back(length);
  }
  if (pieceCount < 2 || m_set.HighestIn(m_folder) > pieceCount ||
      m_lengths.back() >= m_lengths.front())
    return Outcome::Refused(Refusal::pieceMissing, PiecePath(pieceCount + 1));
  for (std::uint64_t pieceNumber = 2; pieceNumber < pieceCount; ++pieceNumber) {
    if (m_lengths[pieceNumber - 1] != m_lengths.front())
      return Outcome::Refused(Refusal::pieceLength, PiecePath(pieceNumber));
  }
  return std::nullopt;
}

std::optional<Outcome> Joiner::CheckDigests(const std::vector<Sha256::Digest> &digests) {
  for (const Sha256::Digest &digest : digests) {
    ++m_checked;
    if (m_list && digest != m_list->pieces[m_checked - 1])
      return Outcome::Refused(Refusal::pieceDiffers, PiecePath(m_checked));
  }
  return std::nullopt;
}

Outcome Joiner::Copy(StagedFile &output) {
  FileException error;
  const std::uint64_t pieceCount = m_lengths.size();
  const std::uint64_t total = std::accumulate(m_lengths.begin(), m_lengths.end(), std::uint64_t{0});
  std::uint64_t joined = 0;
  HashingCopier copier;
  FlushBehind flushBehind(output.Contents());
  File laterPiece;
  for (std::uint64_t pieceNumber = 1; pieceNumber <= pieceCount; ++pieceNumber) {
    if (pieceNumber > 1 &&
        !m_folder.OpenFile(laterPiece, m_set.PieceName(pieceNumber), File::kReadExclusive, &error))
      return Outcome::Failed(Stage::open, error);
    File &piece = pieceNumber == 1 ? m_firstPiece : laterPiece;
    const std::uint64_t length = m_lengths[pieceNumber - 1];
    if (!copier.Copy(piece, output.Contents(), length, [&](std::uint64_t copied) {
          flushBehind.Reached(joined + copied);
          return m_progress.BytesDone(joined + copied, total);
        }))
      return Outcome::Cancelled();
    if (auto differs = CheckDigests(copier.TakeDigests(pieceNumber == pieceCount)))
      return *differs;
    joined += length;
    if (pieceNumber > 1)
      laterPiece.Close();
    if (m_progress.PieceDone(pieceNumber, pieceCount) == Flow::stop)
      return Outcome::Cancelled();
  }
  if (m_list && joined != m_list->wholeLength)
    return Outcome::Refused(Refusal::listInvalid, m_folder.PathOf(m_set.ListName()));

  // Every piece is read: the set is let go before the output takes its name, which may be a link
  // to one of its pieces.
  m_firstPiece.Close();
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
  if (!output.Open(JoinedPathOf(m_request), &error))
    return Outcome::Failed(Stage::open, error);
  if (auto stopped = ReadList())
    return *stopped;
  if (auto stopped = m_list ? MeasureListedSet() : MeasureUnlistedSet())
    return *stopped;
  if (!m_folder.OpenFile(m_firstPiece, m_set.PieceName(1), File::kReadExclusive, &error))
    return Outcome::Failed(Stage::open, error);
  return Copy(output);
}

} // namespace

std::string JoinedPathOf(const JoinRequest &request) {
  const std::string_view firstName = SourceNameOf(request.firstPiece);
  if (!PieceSet::IsFirstPieceName(firstName) || request.destFolder.empty())
    return {};
  return JoinFolder(request.destFolder, PieceSet::OfFirstPiece(firstName).Name());
}

Outcome RunJoin(const JoinRequest &request, Progress &progress) {
  FileException error;
  if (!request.firstPiece.empty()) {
    // Only proves that the chosen file can be read.
    File chosen;
    if (!chosen.Open(request.firstPiece, File::kReadShared, &error))
      return Outcome::Failed(Stage::source, error);
  }
  if (SourceNameOf(request.firstPiece).empty())
    return Outcome::Refused(Refusal::noSource);
  if (request.destFolder.empty())
    return Outcome::Refused(Refusal::noDestination);
  if (!PieceSet::IsFirstPieceName(SourceNameOf(request.firstPiece)))
    return Outcome::Refused(Refusal::notFirstPiece);
  try {
    return Joiner(request, progress).Run();
  } catch (const FileException &failure) {
    return Outcome::Failed(Stage::copy, failure);
  }
}

} // namespace quorvel
