#pragma once

#include "engine/File.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

class Folder;

// Files held open for reading from the moment they are measured until a run is done with them:
// no run of this program replaces them meanwhile (File's exclusive open), and a file that another
// program has open for writing is not held. Windows keeps this with its share modes. Linux has
// a read lease for it, which the kernel grants only while no process has the file open for
// writing, and which makes a program that opens the file for writing wait until it is let go;
// where no lease can be had, the files other processes have open are looked through once all are
// held. Only the handles are kept, so thousands of files take little memory.
class HeldFiles {
public:
  HeldFiles() = default;
  HeldFiles(const HeldFiles &) = delete;
  HeldFiles &operator=(const HeldFiles &) = delete;
  ~HeldFiles() { LetGo(); }

  // Makes room for `count` more open files where the system's limit can be raised (it stays
  // raised); the most this process can hold beside those it has, when that is fewer.
  static std::uint64_t Room(std::uint64_t count);
  // The failure that names a file another program holds.
  static FileException HeldElsewhere(std::string path);

  // Opens `name` in the folder and holds it; false, and `error` naming it, when it cannot be
  // opened or another program has it (a sharing violation).
  bool Hold(const Folder &folder, std::string_view name, FileException *error);
  // Once all are held: the first another program has open for writing, among those that could
  // not be told one by one.
  std::optional<std::size_t> FirstOpenForWriting() const;
  // Whether nothing opened the file for writing since it was held, as far as can be told.
  bool Untouched(std::size_t index) const;
  void LetGo();

  // A held file read through a File whose failures name `path`, for as long as this lives.
  class Lent {
  public:
    Lent(const HeldFiles &files, std::size_t index, std::string path) {
      m_file.Attach(files.m_handles[index], std::move(path));
    }
    Lent(const Lent &) = delete;
    Lent &operator=(const Lent &) = delete;
    ~Lent() { m_file.Detach(); }
    File &operator*() { return m_file; }
    File *operator->() { return &m_file; }

  private:
    File m_file;
  };

private:
  std::vector<File::NativeHandle> m_handles;
#ifndef _WIN32
  // Whether a lease guards each file.
  std::vector<bool> m_leased;
#endif
};

} // namespace quorvel
