#include "engine/HeldFiles.h"

#include "engine/Folder.h"
#include "engine/linux/ExclusiveHold.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

// What the rest of the program may open while the files are held: the output, its folder, the
// look through /proc, and whatever the window opens meanwhile.
constexpr std::uint64_t kKeptFree = 64;

std::uint64_t OpenDescriptorCount() {
  DIR *descriptors = ::opendir("/proc/self/fd");
  if (!descriptors)
    return 0;
  std::uint64_t count = 0;
  while (const dirent *entry = ::readdir(descriptors))
    count += entry->d_name[0] != '.';
  ::closedir(descriptors);
  return count;
}

} // namespace

std::uint64_t HeldFiles::Room(std::uint64_t count) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
    return count;
  const std::uint64_t taken = OpenDescriptorCount() + kKeptFree;
  const std::uint64_t wanted = taken + count;
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
    // Only the soft limit is raised, and never lowered again: descriptors above it stay open.
    const rlim_t before = limit.rlim_cur;
    limit.rlim_cur =
        limit.rlim_max == RLIM_INFINITY ? wanted : std::min<rlim_t>(wanted, limit.rlim_max);
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0)
      limit.rlim_cur = before;
  }
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted)
    return count;
  return limit.rlim_cur > taken ? limit.rlim_cur - taken : 0;
}

FileException HeldFiles::HeldElsewhere(std::string path) {
  return FileException(FileCause::sharingViolation, EBUSY, std::move(path));
}

bool HeldFiles::Hold(const Folder &folder, std::string_view name, FileException *error) {
  File file;
  if (!folder.OpenFile(file, name, File::kReadExclusive, error))
    return false;
  const ReadLease lease = TakeReadLease(file.Descriptor());
  if (lease == ReadLease::refused) {
    if (error)
      *error = HeldElsewhere(file.GetFilePath());
    return false;
  }
  m_leased.push_back(lease == ReadLease::granted);
  m_handles.push_back(file.Detach());
  return true;
}

std::optional<std::size_t> HeldFiles::FirstOpenForWriting() const {
  if (std::ranges::all_of(m_leased, [](bool leased) { return leased; }))
    return std::nullopt;
  const std::vector<FileIdentity> writing = FilesOpenForWriting();
  for (std::size_t index = 0; index < m_handles.size(); ++index) {
    struct stat status {};
    if (!m_leased[index] && ::fstat(m_handles[index], &status) == 0 &&
        std::ranges::binary_search(writing, FileIdentity{status.st_dev, status.st_ino}))
      return index;
  }
  return std::nullopt;
}

bool HeldFiles::Untouched(std::size_t index) const {
  return !m_leased[index] || ReadLeaseKept(m_handles[index]);
}

void HeldFiles::LetGo() {
  for (const int fd : m_handles)
    ::close(fd);
  m_handles.clear();
  m_leased.clear();
}

} // namespace quorvel
