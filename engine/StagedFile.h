#pragma once

#include "engine/File.h"

#include <string>
#include <string_view>

namespace quorvel {

#ifndef _WIN32
struct TemporaryEntry;
#endif

// A piece or joined file written under a temporary name beside its final one, and put under the
// final name only once it is whole and on its device. No final name ever holds part of a file,
// and a run that fails leaves what stood under the name before untouched.
//
// The file stays locked from its creation until Close, also once it is in place, so that another
// run cannot replace it meanwhile: every run puts a name in place only while it holds the lock of
// whatever stands there.
class StagedFile {
public:
  StagedFile() = default;
  StagedFile(const StagedFile &) = delete;
  StagedFile &operator=(const StagedFile &) = delete;
  // Removes the temporary file when the file was never put in place.
  ~StagedFile();

  // Checks that the final name can be taken and creates the temporary file. Returns false and
  // fills `error` naming the final path when the folder cannot take the file, or when the name is
  // held by another program or is something other than a file (a folder, a device, a FIFO).
  bool Open(std::string_view finalPath, FileException *error);

  // The contents, written through the file layer; failures name the final path.
  File &Contents() { return m_contents; }

  // Flushes the contents to the device and puts them under the final name, replacing what was
  // there (a link is replaced, never written through). Throws FileException naming the path.
  void Commit();
  // Releases the file; one never put in place is removed.
  void Close();

  const std::string &GetFilePath() const { return m_strFinalPath; }
  bool IsCommitted() const { return m_committed; }

private:
  void Discard() noexcept;

  File m_contents;
  std::string m_strFinalPath;
#ifndef _WIN32
  std::string m_strName;
  std::string m_strTemporaryName;
  int m_folder = -1;
  TemporaryEntry *m_published = nullptr;
#endif
  bool m_committed = false;
};

// On SIGINT, SIGTERM, SIGHUP and every other signal sent from outside whose default action ends
// the process (SIGQUIT, SIGUSR1, SIGALRM, the real-time signals, ...), removes the temporary files
// of the runs in progress and ends the process with status 128 + the signal's number; a signal
// that is ignored or handled already when this is called stays so. On Windows the same for Ctrl+C
// and Ctrl+Break (130, as SIGINT) and for the console's closing, log-off and shut-down (129, as
// SIGHUP).
void RemoveTemporaryFilesOnInterrupt();

} // namespace quorvel
