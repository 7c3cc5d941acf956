#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel {

// Why a file operation failed, in the classification the cause texts are keyed by.
enum class FileCause : std::uint8_t {
  none,
  genericException,
  fileNotFound,
  badPath,
  tooManyOpenFiles,
  accessDenied,
  invalidFile,
  removeCurrentDir,
  directoryFull,
  badSeek,
  hardIO,
  sharingViolation,
  lockViolation,
  diskFull,
  endOfFile,
  // Beyond the fifteen: a name that is no file at all (a socket), a file larger than its medium or
  // the process's file-size limit allows (FAT32 keeps files under 4 GiB), and a name linked to the
  // file being split.
  notAFile,
  fileTooLarge,
  sourceItself,
};
// One more than the last cause.
inline constexpr std::size_t kFileCauseCount = static_cast<std::size_t>(FileCause::sourceItself) + 1;

#ifndef _WIN32
enum class OpenPurpose : std::uint8_t { existing, creating };

// A missing path component reads as "file not found" when opening, but as a bad path when
// creating: the file itself was never expected to exist.
FileCause CauseFromErrno(int error, OpenPurpose purpose = OpenPurpose::existing);
#endif

// The classification of Win32 system error codes, the Windows file layer's causes.
FileCause CauseFromWin32Error(std::uint32_t error);

} // namespace quorvel
