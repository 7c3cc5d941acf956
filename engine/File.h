#pragma once

#include "engine/FileException.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

class Folder;

// A binary file opened with one of the engine's open modes. Windows keeps the share modes itself.
// Linux has none, so they are kept among cooperating openers with flock: a share-deny-none open
// holds a shared lock, an exclusive open an exclusive one, and an open that cannot have its lock at
// once fails with a sharing violation, as a file held open by another program does on Windows.
// Paths are UTF-8 on both.
class File {
public:
#ifdef _WIN32
  // A HANDLE, named without <windows.h> so that its macros stay out of the engine's headers.
  using NativeHandle = void *;
  static constexpr NativeHandle kNoHandle = nullptr;
#else
  using NativeHandle = int;
  static constexpr NativeHandle kNoHandle = -1;
#endif

  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    shareExclusive = 0x0010,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,
    typeBinary = 0x8000,
  };

  // The engine's three open modes.
  // A source, or the check of a chosen first piece: others may read and write it meanwhile.
  static constexpr unsigned kReadShared = modeRead | shareDenyNone | typeBinary;
  // A piece read by a join: no other opener at all.
  static constexpr unsigned kReadExclusive = modeRead | shareExclusive | typeBinary;
  // A piece or joined file being written: created or truncated, no other opener. Such files are
  // written through StagedFile, which puts them under their names only once they are whole.
  static constexpr unsigned kCreateExclusive = modeCreate | modeWrite | shareExclusive | typeBinary;

  File() = default;
  File(const File &) = delete;
  File &operator=(const File &) = delete;
  File(File &&other) noexcept;
  File &operator=(File &&other) noexcept;
  ~File();

  // Returns false and fills `error` (when given) with the cause and the path on failure. With
  // modeCreate the file is created, or truncated once its lock is held.
  bool Open(std::string_view path, unsigned flags, FileException *error = nullptr);

  // Takes over an open descriptor or handle; failures will name `path`.
  void Attach(NativeHandle fd, std::string path);
  // Gives the descriptor or handle up without closing it; the file is closed as far as it knows.
  NativeHandle Detach();

  // These throw FileException naming the file's path.
  std::uint64_t GetLength() const;
  std::uint64_t Read(void *buffer, std::uint64_t count);
  // Reads from `offset` on, as Read does; where Read goes on afterwards is not kept.
  std::uint64_t ReadAt(void *buffer, std::uint64_t count, std::uint64_t offset);
  void Write(const void *buffer, std::uint64_t count);
  // Returns once the file's bytes are on its device.
  void Flush();
  void Close();

  // Closes without reporting, for paths that are already failing.
  void Abort() noexcept;

  // A second descriptor or handle on the same open file, for a flush on another thread that may
  // outlive this one. Throws naming the path.
  File Duplicate() const;

  bool IsOpen() const { return m_fd != kNoHandle; }
  NativeHandle Descriptor() const { return m_fd; }
  // The path as it was opened, and its last component.
  const std::string &GetFilePath() const { return m_strFilePath; }
  std::string GetFileName() const;

  // `osError` is an errno value on Linux and a Win32 error code on Windows.
  [[noreturn]] void ThrowLastError(int osError) const;

  // Puts the folder's entries (new and renamed names) on its device; throws naming the folder.
  static void FlushFolder(std::string_view folder);

private:
  friend class Folder;
#ifndef _WIN32
  // Opens `name` relative to the open folder `folder`; failures name `path`.
  bool OpenAt(int folder, std::string_view name, std::string path, unsigned flags,
              FileException *error);
#endif

  NativeHandle m_fd = kNoHandle;
  std::string m_strFilePath;
};

} // namespace quorvel
