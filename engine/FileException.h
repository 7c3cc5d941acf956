#pragma once

#include "base/Text.h"
#include "engine/FileCause.h"

#include <cstddef>
#include <exception>
#include <string>

namespace quorvel {

// A failed file operation: its cause, the system's own error code and the file's path. Filled
// in by a failed File::Open, thrown by the other File operations.
class FileException : public std::exception {
public:
  // The buffer sizes the cause texts are cut to: a failed open or create, and a failure that
  // escapes an operation to the host's failure report.
  static constexpr std::size_t kOpenErrorBufferSize = 1024;
  static constexpr std::size_t kFailureReportBufferSize = quorvel::kFailureReportBufferSize;

  FileException() = default;
  FileException(FileCause cause, int osError, std::string fileName);

  // The cause text with "%1" replaced by the path, cut to fit a buffer of bufferSize bytes with
  // its terminating zero, never inside a UTF-8 character.
  std::string GetErrorMessage(std::size_t bufferSize = kOpenErrorBufferSize) const;

  const char *what() const noexcept override { return m_strWhat.c_str(); }

  FileCause m_cause = FileCause::none;
  int m_lOsError = 0;
  std::string m_strFileName;

private:
  std::string m_strWhat;
};

} // namespace quorvel
