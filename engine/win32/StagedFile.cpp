#include "engine/StagedFile.h"

#include "engine/PieceNaming.h"
#include "engine/TemporaryName.h"
#include "engine/win32/FilesBeingRead.h"
#include "engine/win32/HandleNames.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>

// The temporary file is created beside its final name with share mode 0 and DELETE access, marked
// for deletion (win32::CreateMarked): whatever ends the run (a failure, Ctrl+C, a closed console,
// a kill from the task manager), the system removes it when its handle closes. Commit clears the
// mark and renames the file through that same handle (SetFileInformationByHandle with
// FileRenameInfo). Unlike MoveFileExW or ReplaceFileW, which need the file closed or shared for
// deletion, this puts the file in place without letting go of it: it is never under its name
// unheld, so a first piece kept open holds its set against a second split or a join until Close.
//
// Between clearing the mark and the rename (and, on systems older than Windows 10 1709, between
// creating the file and marking it) a file would outlive the process under its temporary name. A
// console event that ends the run waits for those steps; only a kill from outside can land in
// them.

namespace quorvel {

using win32::EndingDeferred;
using win32::MarkForDeletion;
using win32::RefusalOfName;

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Open(std::string_view finalPath, FileException *error) {
  Discard();
  m_strFinalPath = finalPath;
  std::wstring windowsPath;
  const auto fail = [&](DWORD code) {
    if (error)
      *error = FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code),
                             m_strFinalPath);
    Discard();
    return false;
  };
  if (!win32::ToWindowsPath(m_strFinalPath, windowsPath))
    return fail(ERROR_INVALID_NAME);
  if (const auto refusal = RefusalOfName(windowsPath))
    return fail(*refusal);

  const std::string_view name = SourceNameOf(finalPath);
  const std::string folder{finalPath.substr(0, finalPath.size() - name.size())};
  EndingDeferred deferred;
  HANDLE handle = INVALID_HANDLE_VALUE;
  while (handle == INVALID_HANDLE_VALUE) {
    std::wstring temporary;
    if (!win32::ToWindowsPath(folder + RandomTemporaryName(), temporary))
      return fail(ERROR_INVALID_NAME);
    handle = win32::CreateMarked(temporary, GENERIC_WRITE);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
      return fail(::GetLastError());
  }
  m_contents.Attach(handle, m_strFinalPath);
  return true;
}

void StagedFile::Commit() {
  m_contents.Flush();
  std::wstring windowsPath;
  const auto fail = [&](DWORD code) {
    throw FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code),
                        m_strFinalPath);
  };
  if (!win32::ToWindowsPath(m_strFinalPath, windowsPath))
    fail(ERROR_INVALID_NAME);
  // Looked at again: a program may have taken the name since the file was opened.
  if (const auto refusal = RefusalOfName(windowsPath))
    fail(*refusal);
  const HANDLE handle = m_contents.Descriptor();
  std::optional<EndingDeferred> deferred{std::in_place};
  if (!MarkForDeletion(handle, false))
    fail(::GetLastError());
  if (!win32::RenameTo(handle, windowsPath, true)) {
    const DWORD renameError = ::GetLastError();
    MarkForDeletion(handle, true);
    deferred.reset();
    // Windows refuses to replace a file that is open with access denied; one taken between the
    // look and the rename is reported as the look would have.
    const auto refusal = RefusalOfName(windowsPath);
    fail(refusal ? *refusal : renameError);
  }
  m_committed = true;
  deferred.reset();
  // The file's folder entry too: FAT keeps a file's length there.
  m_contents.Flush();
}

void StagedFile::Close() {
  if (m_committed)
    m_contents.Close();
  Discard();
}

void StagedFile::Discard() noexcept {
  if (m_contents.IsOpen() && !m_committed)
    MarkForDeletion(m_contents.Descriptor(), true);
  m_contents.Abort();
  m_committed = false;
}

} // namespace quorvel
