#pragma once

#include "engine/File.h"
#include "engine/FileException.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// A folder that names are looked up and opened in relative to itself, so that a name works
// whatever the length of the folder's path. Failures name the folder's path joined with the name.
class Folder {
public:
  enum class Entry : std::uint8_t { absent, file, other };

  Folder() = default;
  Folder(const Folder &) = delete;
  Folder &operator=(const Folder &) = delete;
  ~Folder();

  // The folder as a path, or as what precedes a name in one ("d/", "C:"); empty is the current
  // folder. Returns false and fills `error` naming the folder on failure.
  bool Open(std::string_view folder, FileException *error);

  // The path a name in this folder has in messages.
  std::string PathOf(std::string_view name) const;

  // What is under the name, links followed; `length` receives a file's length.
  Entry Look(std::string_view name, std::uint64_t *length = nullptr) const;
  // Fills `error` with the bad-path cause naming the name's path when no file of that name can
  // exist here: it is longer than the folder's file system takes.
  bool NameFits(std::string_view name, FileException *error) const;
  // Opens a file here with one of File's open modes.
  bool OpenFile(File &file, std::string_view name, unsigned flags, FileException *error) const;
  // Removes the file under the name unless another program holds it open; a folder or anything
  // else that is not a file is refused. A link goes, never its target. Returns false and fills
  // `error` naming the path.
  bool Remove(std::string_view name, FileException *error) const;
  // Calls `visit` with every name in the folder, in no order; with none when it cannot be read.
  // A name at a time, so that a folder of any size takes no memory for its names.
  void ForEachName(const std::function<void(std::string_view name)> &visit) const;

  // The room its file system has for this user, and the unit a file's room is counted in.
  struct Space {
    std::uint64_t free = 0;
    std::uint64_t unit = 1;
  };
  // Nothing when the file system does not say.
  std::optional<Space> FreeSpace() const;

private:
  // What precedes a name in a path.
  std::string m_strPrefix;
#ifndef _WIN32
  int m_fd = -1;
#endif
};

} // namespace quorvel
