#include "engine/StagedSet.h"

#include "engine/StagedSetFiles.h"

#include "engine/Folder.h"
#include "engine/PieceNaming.h"
#include "engine/StagedFile.h"
#include "engine/TemporaryName.h"
#include "engine/win32/FilesBeingRead.h"
#include "engine/win32/HandleNames.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

// Each file is written under a temporary name of its own beside the set's names, held with no
// sharing and marked for deletion, so that whatever ends the process before the set takes its
// names removes it with the handle. The set is held by a hidden file named after it, made the same
// way: a second run into the same names cannot open it while this one runs.
//
// A name is taken by moving the older file there aside to a temporary name through a handle of
// its own, then renaming the new file there through its handle, as one step that a console event
// waits for; the event's handler moves every name back before the process ends.

namespace quorvel {
namespace {

using win32::EndingDeferred;

// What a step has done to its name.
enum StepState : std::uint8_t { kUntouched = 0, kOlderAside = 1, kNewPlaced = 2 };

class Handle {
public:
  Handle() = default;
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  Handle(Handle &&other) noexcept : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE)) {}
  Handle &operator=(Handle &&other) noexcept {
    std::swap(m_handle, other.m_handle);
    return *this;
  }
  ~Handle() {
    if (*this)
      ::CloseHandle(m_handle);
  }
  HANDLE get() const { return m_handle; }
  explicit operator bool() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
  HANDLE m_handle = INVALID_HANDLE_VALUE;
};

struct Staged {
  Handle file;
  std::wstring temporaryPath;
};

// What a step of the commit order has done, and the older file it moved aside.
struct Step {
  std::uint8_t state = kUntouched;
  Handle older;
};

} // namespace

struct StagedSet::State {
  State(const PieceSet &pieceSet, std::uint64_t count)
      : set(pieceSet), pieceCount(count), staged(count + 1) {}

  std::string FinalName(std::uint64_t number) const { return staging::FinalName(set, number); }
  std::string FinalPath(std::uint64_t number) const { return folder.PathOf(FinalName(number)); }
  std::wstring WindowsPath(const std::string &path) const {
    std::wstring windowsPath;
    if (!win32::ToWindowsPath(path, windowsPath))
      throw FileException(FileCause::badPath, ERROR_INVALID_NAME, path);
    return windowsPath;
  }
  FileException Failure(DWORD code, std::uint64_t number) const {
    const std::string path = FinalPath(number);
    std::wstring windowsPath;
    win32::ToWindowsPath(path, windowsPath);
    return FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code), path);
  }

  // Holds the folder by a temporary file of the set's, which no other run can take meanwhile.
  std::optional<FileException> HoldFolder(const std::string &holdName);
  // What killed runs left; a temporary file that a run holds cannot be deleted.
  void RemoveLeftTemporaries(const std::string &holdName) const;
  // Every older name, the first piece first, which holds the set.
  std::optional<FileException> CheckOlderSet();
  std::optional<FileException> CheckOlder(std::uint64_t number);
  void TakeName(std::size_t step);
  static void PutBack(void *state);

  const PieceSet set;
  const std::uint64_t pieceCount;
  Folder folder;
  Handle hold;
  Handle olderFirst;
  std::vector<Staged> staged;
  std::optional<staging::CommitOrder> order;
  std::vector<Step> steps;
  bool published = false;
  bool committed = false;
};

// A name that can never be taken is refused; the older first piece is held from here on, so that
// no join takes the older set meanwhile.
std::optional<FileException> StagedSet::State::CheckOlder(std::uint64_t number) {
  const std::wstring path = WindowsPath(FinalPath(number));
  // Another name of the held first piece is this run's to move, though no one else could move it.
  if (olderFirst && win32::IsNameOf(olderFirst.get(), path))
    return std::nullopt;
  if (const auto refusal = win32::RefusalOfName(path))
    return Failure(*refusal, number);
  if (number != 1)
    return std::nullopt;
  // Shared for deletion alone, so that another name of it stays this run's to move.
  olderFirst = Handle(::CreateFileW(path.c_str(), DELETE | GENERIC_READ, FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!olderFirst && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    return Failure(::GetLastError(), number);
  return std::nullopt;
}

void StagedSet::State::TakeName(std::size_t index) {
  const std::uint64_t number = (*order)[index];
  Step &step = steps[index];
  const std::wstring finalPath = WindowsPath(FinalPath(number));
  const bool heldFirst = number == 1 && olderFirst;
  const bool nameOfFirst = !heldFirst && olderFirst && win32::IsNameOf(olderFirst.get(), finalPath);
  if (!heldFirst && !nameOfFirst) {
    if (const auto refusal = win32::RefusalOfName(finalPath))
      throw Failure(*refusal, number);
  }
  if (heldFirst || ::GetFileAttributesW(finalPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    const DWORD share = nameOfFirst ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0;
    Handle older =
        heldFirst ? std::move(olderFirst)
                  : Handle(::CreateFileW(finalPath.c_str(), DELETE, share, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!older)
      throw Failure(::GetLastError(), number);
    const std::wstring aside = WindowsPath(folder.PathOf(RandomTemporaryName()));
    EndingDeferred deferred;
    if (!win32::RenameTo(older.get(), aside, false))
      throw Failure(::GetLastError(), number);
    step.older = std::move(older);
    step.state |= kOlderAside;
  }
  if (!order->HasNew(index))
    return;
  const HANDLE file = staged[number].file.get();
  EndingDeferred deferred;
  if (!win32::MarkForDeletion(file, false))
    throw Failure(::GetLastError(), number);
  if (!win32::RenameTo(file, finalPath, false)) {
    const DWORD renameError = ::GetLastError();
    win32::MarkForDeletion(file, true);
    // A name taken since it was looked at belongs to whoever took it.
    throw Failure(renameError == ERROR_ALREADY_EXISTS ? ERROR_SHARING_VIOLATION : renameError,
                  number);
  }
  step.state |= kNewPlaced;
}

void StagedSet::State::PutBack(void *data) {
  auto &state = *static_cast<State *>(data);
  if (state.committed)
    return;
  for (std::size_t index = state.steps.size(); index-- > 0;) {
    Step &step = state.steps[index];
    const std::uint64_t number = (*state.order)[index];
    if (step.state & kNewPlaced) {
      Staged &staged = state.staged[number];
      win32::RenameTo(staged.file.get(), staged.temporaryPath, false);
      win32::MarkForDeletion(staged.file.get(), true);
    }
    std::wstring finalPath;
    if ((step.state & kOlderAside) && win32::ToWindowsPath(state.FinalPath(number), finalPath))
      win32::RenameTo(step.older.get(), finalPath, false);
    step.state = kUntouched;
  }
}

StagedSet::StagedSet(const PieceSet &set, std::uint64_t pieceCount)
    : m_state(std::make_unique<State>(set, pieceCount)) {}

StagedSet::~StagedSet() {
  State &state = *m_state;
  if (state.published) {
    {
      EndingDeferred deferred;
      State::PutBack(&state);
    }
    win32::WithdrawPutBack(&state);
  }
  // Gone at once where the system can, though a flush may still hold a handle on them.
  for (Staged &staged : state.staged) {
    if (staged.file && !state.committed)
      win32::DeleteNow(staged.file.get());
  }
  for (Step &step : state.steps) {
    if (step.older && state.committed)
      win32::MarkForDeletion(step.older.get(), true);
  }
}

std::optional<FileException> StagedSet::State::HoldFolder(const std::string &holdName) {
  std::wstring holdPath;
  if (!win32::ToWindowsPath(folder.PathOf(holdName), holdPath))
    return Failure(ERROR_INVALID_NAME, 1);
  hold = Handle(::CreateFileW(holdPath.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!hold)
    return Failure(::GetLastError(), 1);
  return std::nullopt;
}

void StagedSet::State::RemoveLeftTemporaries(const std::string &holdName) const {
  for (const std::string &name : staging::OtherTemporaries(folder, holdName)) {
    std::wstring path;
    if (win32::ToWindowsPath(folder.PathOf(name), path))
      ::DeleteFileW(path.c_str());
  }
}

std::optional<FileException> StagedSet::State::CheckOlderSet() {
  std::optional<FileException> refused;
  staging::ForEachOlderFile(folder, set, [&](std::uint64_t number) {
    try {
      refused = CheckOlder(number);
    } catch (const FileException &failure) {
      refused = failure;
    }
    return !refused;
  });
  return refused;
}

bool StagedSet::Open(std::string_view folder, FileException *error) {
  State &state = *m_state;
  if (!state.folder.Open(folder, nullptr)) {
    // Told as creating the first piece there would fail.
    StagedFile probe;
    probe.Open(JoinFolder(folder, state.set.PieceName(1)), error);
    return false;
  }
  const std::string holdName = TemporaryNameFor(state.set.Name());
  std::optional<FileException> refused = state.HoldFolder(holdName);
  if (!refused) {
    state.RemoveLeftTemporaries(holdName);
    refused = state.CheckOlderSet();
  }
  if (refused) {
    if (error)
      *error = *refused;
    return false;
  }
  win32::PublishPutBack(&State::PutBack, &state);
  state.published = true;
  return true;
}

bool StagedSet::RemoveOlder(FileException *error) {
  State &state = *m_state;
  return staging::ForEachOlderFile(state.folder, state.set, [&](std::uint64_t number) {
    if (number != 1 || !state.olderFirst)
      return state.folder.Remove(state.FinalName(number), error);
    if (!win32::MarkForDeletion(state.olderFirst.get(), true)) {
      if (error)
        *error = state.Failure(::GetLastError(), number);
      return false;
    }
    state.olderFirst = Handle();
    return true;
  });
}

File StagedSet::Create(std::uint64_t number) {
  State &state = *m_state;
  Staged &staged = state.staged[number];
  HANDLE handle = INVALID_HANDLE_VALUE;
  while (handle == INVALID_HANDLE_VALUE) {
    staged.temporaryPath = state.WindowsPath(state.folder.PathOf(RandomTemporaryName()));
    // Where the file is made before it is marked, a console event waits for the mark.
    EndingDeferred deferred;
    handle = win32::CreateMarked(staged.temporaryPath, GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
      throw state.Failure(::GetLastError(), number);
  }
  staged.file = Handle(handle);
  // The set keeps its own handle, for the name it gives the file.
  const HANDLE process = ::GetCurrentProcess();
  HANDLE duplicate = nullptr;
  if (!::DuplicateHandle(process, handle, process, &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
    throw state.Failure(::GetLastError(), number);
  File written;
  written.Attach(duplicate, state.FinalPath(number));
  return written;
}

void StagedSet::Commit() {
  State &state = *m_state;
  {
    EndingDeferred deferred;
    state.order.emplace(state.pieceCount, state.folder, state.set);
    state.steps.resize(state.order->size());
  }
  for (std::size_t step = 0; step < state.steps.size(); ++step)
    state.TakeName(step);
  // The files' folder entries too: FAT keeps a file's length there.
  for (std::uint64_t number = 0; number < state.staged.size(); ++number) {
    if (!::FlushFileBuffers(state.staged[number].file.get()))
      throw state.Failure(::GetLastError(), number);
  }
  File::FlushFolder(state.folder.PathOf(""));
  state.committed = true;
}

} // namespace quorvel
