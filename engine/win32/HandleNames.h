#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the Windows file layer does to the names of files it holds open: a file is renamed and
// marked for deletion through its own handle, so that it is never under a name unheld.

namespace quorvel::win32 {

// Creates a file that must not outlive the process unless it is given a name: new, with no sharing
// and DELETE access, and marked for deletion when its last handle closes. Where the system lets
// that mark be cleared later it is made with the file, so that no kill finds the file unmarked;
// elsewhere it is set at once after. INVALID_HANDLE_VALUE with the last error on failure.
void *CreateMarked(const std::wstring &path, std::uint32_t access);
// Marks the file for deletion when its last handle closes, or clears the mark, whichever way it
// was made.
bool MarkForDeletion(void *handle, bool deleteOnClose);
// Takes the name away at once where the file system can (POSIX semantics), so that a file whose
// handles a flush still holds is not seen meanwhile; marks it for deletion either way.
void DeleteNow(void *handle) noexcept;
// Renames the file to `path`, replacing a file there only when asked.
bool RenameTo(void *handle, const std::wstring &path, bool replace);

// Why the name cannot be taken, if it cannot: a folder or a device there is refused, and a file
// there is opened for writing as a look only, which fails as writing over it would (held by
// another program, or not ours to write). Links are looked at, not followed.
std::optional<std::uint32_t> RefusalOfName(const std::wstring &path);

// Keeps the console events that end the program waiting while a file is unmarked and not yet
// under its name, or while a set's names change: the handler then finds nothing half done.
class EndingDeferred {
public:
  EndingDeferred();
  EndingDeferred(const EndingDeferred &) = delete;
  EndingDeferred &operator=(const EndingDeferred &) = delete;
  ~EndingDeferred();
};

// Work the console handler does before the process ends: putting back what a split had begun to
// put in place. Runs on the handler's thread, with no name change in progress.
void PublishPutBack(void (*putBack)(void *data), void *data);
void WithdrawPutBack(void *data);

} // namespace quorvel::win32
