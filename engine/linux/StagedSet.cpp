#include "engine/StagedSet.h"

#include "engine/StagedSetFiles.h"

#include "engine/Folder.h"
#include "engine/PieceNaming.h"
#include "engine/TemporaryName.h"
#include "engine/linux/NameHold.h"
#include "engine/linux/TemporaryRegistry.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The files are written in a hidden folder beside the set's names, named after the set so that
// runs over one set find each other: it is locked for the whole run, and that lock holds the set.
// In it, the piece or list number n is written as "n". Its name is taken by swapping the two files
// in one rename, which leaves the older file as "n"; where the file system cannot swap, the older
// one is first moved aside as "on". The folder goes at the end with the older files in it.
//
// Each step that changes a name is taken with the ending signals deferred and recorded before they
// are let through, so that a signal's handler finds the folder in a state it can put back: it
// moves every older file back under its name, removes the new ones and the hidden folder, and only
// then lets the process end.

namespace quorvel {
namespace {

// Enough for any honest race with a run removing what killed runs left.
constexpr int kTakeAttempts = 16;

// What a step has done to its name: swapped the new file and the older one in one rename, or moved
// the older one aside (to "on") and put the new one in its place in two, where the file system
// cannot swap.
enum StepState : std::uint8_t { kUntouched = 0, kSwapped = 1, kOlderAside = 2, kNewPlaced = 4 };

// The decimal digits of `number`, without allocating: usable in a signal's handler.
char *FormatNumber(char *out, std::uint64_t number) {
  char digits[24];
  int count = 0;
  do
    digits[count++] = static_cast<char>('0' + number % 10);
  while ((number /= 10) > 0);
  while (count > 0)
    *out++ = digits[--count];
  *out = '\0';
  return out;
}

// Descriptors kept on removed files, in memory a signal's handler may use.
struct KeptOpen {
  static constexpr std::size_t kCapacity = 4096;
  int fds[kCapacity];
  std::size_t count = 0;
};

// Removes every entry of the folder open as `folder`; only for folders holding files. Each file is
// kept open across its removal while `kept` has room, so that the removal takes only its name at
// once: the last close of a file waits for the device to finish writing what it was given, and
// the file goes only when `kept` is closed.
void EmptyFolder(int folder, KeptOpen *kept) noexcept {
  alignas(8) char buffer[4096];
  for (bool removed = true; removed;) {
    removed = false;
    ::lseek(folder, 0, SEEK_SET);
    for (long got; (got = ::syscall(SYS_getdents64, folder, buffer, sizeof buffer)) > 0;) {
      for (long offset = 0; offset < got;) {
        const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
        offset += entry->d_reclen;
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
          continue;
        const int held = kept && kept->count < KeptOpen::kCapacity
                             ? ::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC)
                             : -1;
        removed = ::unlinkat(folder, name, 0) == 0 || removed;
        if (held >= 0)
          kept->fds[kept->count++] = held;
      }
    }
  }
}

// Removes a temporary file or staging folder that a killed run left, unless a run holds it.
void RemoveIfUnheld(int folder, const std::string &name) {
  struct stat status {};
  if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
    return;
  const bool isFolder = S_ISDIR(status.st_mode);
  if (!isFolder && !S_ISREG(status.st_mode))
    return;
  const Descriptor left(
      ::openat(folder, name.c_str(),
               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (isFolder ? O_DIRECTORY : 0)));
  if (!left || ::flock(left.get(), LOCK_EX | LOCK_NB) != 0 ||
      !StillUnderName(folder, name, left.get()))
    return;
  if (isFolder)
    EmptyFolder(left.get(), nullptr);
  ::unlinkat(folder, name.c_str(), isFolder ? AT_REMOVEDIR : 0);
}

} // namespace

struct StagedSet::State {
  State(const PieceSet &pieceSet, std::uint64_t count)
      : set(pieceSet), pieceCount(count), stagingName(TemporaryNameFor(pieceSet.Name())) {
    // The piece names without their number, and the list's, for the signal's handler.
    const std::string pieceTail = set.PieceName(0).substr(1);
    const std::string list = set.ListName();
    std::memcpy(pieceNameTail, pieceTail.c_str(),
                std::min(pieceTail.size() + 1, sizeof pieceNameTail));
    std::memcpy(listName, list.c_str(), std::min(list.size() + 1, sizeof listName));
  }

  std::string FinalName(std::uint64_t number) const { return staging::FinalName(set, number); }
  FileException Failure(FileCause cause, int osError, std::uint64_t number) const {
    return FileException(cause, osError, folder.PathOf(FinalName(number)));
  }

  // Holds what stands under a name of the set; the older first piece this run holds already, and
  // any other name of that file, count as held.
  NameHold Hold(const std::string &name) const;
  bool TakeStaging(FileException *error);
  // Undoes what the steps did and removes the staging folder; async-signal-safe.
  static void PutBack(void *state) noexcept;
  void PutBackStep(std::size_t step) noexcept;
  void TakeName(std::size_t step);

  const PieceSet set;
  const std::uint64_t pieceCount;
  const std::string stagingName;
  char pieceNameTail[NAME_MAX + 1] = {};
  char listName[NAME_MAX + 1] = {};
  Folder folder;
  std::string folderPath;
  Descriptor parent;
  Descriptor staging;
  // The older first piece, held from the start so that no join takes the older set meanwhile.
  Descriptor olderFirst;
  std::optional<staging::CommitOrder> order;
  // What each step has done to its name, and how many have begun.
  std::unique_ptr<std::atomic<std::uint8_t>[]> stepStates;
  std::atomic<std::size_t> stepCount{0};
  std::atomic<bool> committed{false};
  std::atomic<bool> putBack{false};
  KeptOpen kept;
  CleanupEntry *cleanup = nullptr;
};

void StagedSet::State::PutBackStep(std::size_t step) noexcept {
  const std::uint64_t number = (*order)[step];
  char finalName[NAME_MAX + 32];
  char asideName[32] = "o";
  if (number == kList) {
    std::memcpy(finalName, listName, sizeof listName);
  } else {
    char *end = FormatNumber(finalName, number);
    std::memcpy(end, pieceNameTail, std::strlen(pieceNameTail) + 1);
  }
  FormatNumber(asideName + 1, number);
  const std::uint8_t state = stepStates[step].exchange(kUntouched);
  // The older file back over the new one in one rename, so the name is never empty meanwhile.
  if (state & kSwapped)
    ::renameat(staging.get(), asideName + 1, parent.get(), finalName);
  else if (state & kOlderAside)
    ::renameat(staging.get(), asideName, parent.get(), finalName);
  else if (state & kNewPlaced)
    ::unlinkat(parent.get(), finalName, 0);
}

void StagedSet::State::PutBack(void *data) noexcept {
  auto &state = *static_cast<State *>(data);
  if (state.putBack.exchange(true))
    return;
  if (!state.committed.load()) {
    for (std::size_t index = state.stepCount.load(); index-- > 0;)
      state.PutBackStep(index);
  }
  EmptyFolder(state.staging.get(), &state.kept);
  ::unlinkat(state.parent.get(), state.stagingName.c_str(), AT_REMOVEDIR);
}

NameHold StagedSet::State::Hold(const std::string &name) const {
  if (olderFirst && StillUnderName(parent.get(), name, olderFirst.get())) {
    NameHold held;
    held.taken = true;
    return held;
  }
  return HoldName(parent.get(), name);
}

bool StagedSet::State::TakeStaging(FileException *error) {
  const auto fail = [&](FileCause cause, int osError) {
    if (error)
      *error = Failure(cause, osError, 1);
    return false;
  };
  for (int attempt = 0; attempt < kTakeAttempts; ++attempt) {
    EndingSignalsDeferred deferred;
    if (::mkdirat(parent.get(), stagingName.c_str(), 0700) != 0 && errno != EEXIST)
      return fail(CauseFromErrno(errno, OpenPurpose::creating), errno);
    Descriptor taken(::openat(parent.get(), stagingName.c_str(),
                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!taken && errno == ENOENT)
      continue;
    if (!taken)
      return fail(FileCause::accessDenied, errno);
    if (::flock(taken.get(), LOCK_EX | LOCK_NB) != 0)
      return fail(errno == EWOULDBLOCK ? FileCause::sharingViolation : CauseFromErrno(errno),
                  errno);
    if (!StillUnderName(parent.get(), stagingName, taken.get()))
      continue;
    // Left by a run killed outright.
    EmptyFolder(taken.get(), nullptr);
    staging = std::move(taken);
    cleanup = PublishCleanup(&State::PutBack, this);
    return true;
  }
  return fail(FileCause::sharingViolation, EWOULDBLOCK);
}

void StagedSet::State::TakeName(std::size_t step) {
  const std::uint64_t number = (*order)[step];
  const std::string name = FinalName(number);
  std::atomic<std::uint8_t> &state = stepStates[step];
  char stagedName[32];
  char asideName[32] = "o";
  FormatNumber(stagedName, number);
  FormatNumber(asideName + 1, number);
  const auto fail = [&](FileCause cause, int osError) { throw Failure(cause, osError, number); };
  const NameHold hold = Hold(name);
  if (hold.refusal)
    fail(hold.refusal->cause, hold.refusal->osError);
  if (hold.taken && order->HasNew(step)) {
    EndingSignalsDeferred deferred;
    if (::renameat2(staging.get(), stagedName, parent.get(), name.c_str(), RENAME_EXCHANGE) == 0) {
      state.store(kSwapped);
      return;
    }
    if (errno != EINVAL && errno != ENOSYS)
      fail(CauseFromErrno(errno), errno);
  }
  if (hold.taken) {
    EndingSignalsDeferred deferred;
    if (::renameat(parent.get(), name.c_str(), staging.get(), asideName) != 0)
      fail(CauseFromErrno(errno), errno);
    state.fetch_or(kOlderAside);
  }
  if (!order->HasNew(step))
    return;
  EndingSignalsDeferred deferred;
  int renamed =
      ::renameat2(staging.get(), stagedName, parent.get(), name.c_str(), RENAME_NOREPLACE);
  if (renamed != 0 && (errno == EINVAL || errno == ENOSYS))
    renamed = ::renameat(staging.get(), stagedName, parent.get(), name.c_str());
  // A name taken since it was looked at belongs to whoever took it.
  if (renamed != 0)
    fail(errno == EEXIST ? FileCause::sharingViolation : CauseFromErrno(errno), errno);
  state.fetch_or(kNewPlaced);
}

StagedSet::StagedSet(const PieceSet &set, std::uint64_t pieceCount)
    : m_state(std::make_unique<State>(set, pieceCount)) {}

StagedSet::~StagedSet() {
  if (!m_state->cleanup)
    return;
  {
    EndingSignalsDeferred deferred;
    State::PutBack(m_state.get());
    WithdrawCleanup(m_state->cleanup);
  }
  // The files go as these close, which may wait for the device: not the run's to wait for.
  const KeptOpen &kept = m_state->kept;
  std::thread([fds = std::vector<int>(kept.fds, kept.fds + kept.count)] {
    for (int fd : fds)
      ::close(fd);
  }).detach();
}

bool StagedSet::Open(std::string_view folder, FileException *error) {
  State &state = *m_state;
  state.folderPath = folder.empty() ? "." : std::string{folder};
  state.parent = Descriptor(::open(state.folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  // Told as creating the first piece there would fail.
  if (!state.parent || !state.folder.Open(folder, nullptr)) {
    if (error)
      *error = FileException(CauseFromErrno(errno, OpenPurpose::creating), errno,
                             JoinFolder(folder, state.set.PieceName(1)));
    return false;
  }
  if (!state.TakeStaging(error))
    return false;

  for (const std::string &name : staging::OtherTemporaries(state.folder, state.stagingName))
    RemoveIfUnheld(state.parent.get(), name);
  // Every older name is looked at now, so that one that can never be replaced stops the split
  // before it copies anything; the first piece first, which holds the set and stays held.
  std::optional<FileException> refused;
  staging::ForEachOlderFile(state.folder, state.set, [&](std::uint64_t number) {
    NameHold hold = state.Hold(state.FinalName(number));
    if (hold.refusal)
      refused = state.Failure(hold.refusal->cause, hold.refusal->osError, number);
    else if (number == 1)
      state.olderFirst = std::move(hold.file);
    return !refused;
  });
  if (refused) {
    if (error)
      *error = *refused;
    return false;
  }
  return true;
}

bool StagedSet::RemoveOlder(FileException *error) {
  State &state = *m_state;
  std::optional<FileException> failed;
  staging::ForEachOlderFile(state.folder, state.set, [&](std::uint64_t number) {
    const std::string name = state.FinalName(number);
    const NameHold hold = state.Hold(name);
    if (hold.refusal) {
      failed = state.Failure(hold.refusal->cause, hold.refusal->osError, number);
    } else if (::unlinkat(state.parent.get(), name.c_str(), 0) != 0 && errno != ENOENT) {
      const int removeError = errno;
      failed = state.Failure(CauseFromErrno(removeError), removeError, number);
    }
    return !failed;
  });
  if (failed) {
    if (error)
      *error = *failed;
    return false;
  }
  // The older first piece's room comes free only once it is let go.
  state.olderFirst = Descriptor();
  File::FlushFolder(state.folderPath);
  return true;
}

File StagedSet::Create(std::uint64_t number) {
  const State &state = *m_state;
  char stagedName[32];
  FormatNumber(stagedName, number);
  int fd;
  {
    // Created where a signal's handler that has begun emptying the folder would miss it.
    EndingSignalsDeferred deferred;
    fd = ::openat(state.staging.get(), stagedName,
                  O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
  }
  if (fd < 0)
    throw state.Failure(CauseFromErrno(errno, OpenPurpose::creating), errno, number);
  File file;
  file.Attach(fd, state.folder.PathOf(state.FinalName(number)));
  return file;
}

void StagedSet::Commit() {
  State &state = *m_state;
  {
    // Whole before a signal's handler reads it.
    EndingSignalsDeferred deferred;
    state.order.emplace(state.pieceCount, state.folder, state.set);
    state.stepStates = std::make_unique<std::atomic<std::uint8_t>[]>(state.order->size());
  }
  for (std::size_t step = 0; step < state.order->size(); ++step) {
    state.stepCount.store(step + 1);
    state.TakeName(step);
  }
  File::FlushFolder(state.folderPath);
  state.committed.store(true);
  state.olderFirst = Descriptor();
}

} // namespace quorvel
