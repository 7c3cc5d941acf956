#include "engine/HeldFiles.h"

#include "engine/Folder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quorvel {

// A process may have some sixteen million handles open.
std::uint64_t HeldFiles::Room(std::uint64_t count) { return count; }

FileException HeldFiles::HeldElsewhere(std::string path) {
  return FileException(FileCause::sharingViolation, ERROR_SHARING_VIOLATION, std::move(path));
}

// The exclusive open shares the file with no other opener, so none can write it while it is held.
bool HeldFiles::Hold(const Folder &folder, std::string_view name, FileException *error) {
  File file;
  if (!folder.OpenFile(file, name, File::kReadExclusive, error))
    return false;
  m_handles.push_back(file.Detach());
  return true;
}

std::optional<std::size_t> HeldFiles::FirstOpenForWriting() const { return std::nullopt; }

bool HeldFiles::Untouched(std::size_t) const { return true; }

void HeldFiles::LetGo() {
  for (const HANDLE handle : m_handles)
    ::CloseHandle(handle);
  m_handles.clear();
}

} // namespace quorvel
