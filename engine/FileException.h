#pragma once

#include "engine/FileCause.h"

#include <exception>
#include <string>
#include <utility>

namespace quorvel {

// A failed file operation: its cause, the system's own error code and the file's path. Filled
// in by a failed File::Open, thrown by the other File operations. What the user reads of it is
// the programs' to say, in the user's language.
class FileException : public std::exception {
public:
  FileException() = default;
  FileException(FileCause cause, int osError, std::string fileName)
      : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

  // The file's path: the engine has no words of its own.
  const char *what() const noexcept override { return m_strFileName.c_str(); }

  FileCause m_cause = FileCause::none;
  int m_lOsError = 0;
  std::string m_strFileName;
};

} // namespace quorvel
