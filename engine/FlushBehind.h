#pragma once

#include "engine/File.h"

#include <cstdint>
#include <future>

namespace quorvel {

// Flushes a file that is being written on a thread of its own, one flush at a time, so that the
// device writes what was copied while more is copied, and the last flush waits only for the rest.
// A run that stops does not wait for the flush in flight: it ends on its own descriptor.
class FlushBehind {
public:
  explicit FlushBehind(File &file) : m_file(file) {}
  FlushBehind(const FlushBehind &) = delete;
  FlushBehind &operator=(const FlushBehind &) = delete;

  // Told how many bytes are written so far; starts a flush once enough have come since the last
  // one began, unless that one still runs. Throws the failure of a flush that has ended.
  void Reached(std::uint64_t written);
  // Waits for the flush that runs; throws its failure.
  void Finish();

private:
  File &m_file;
  std::uint64_t m_lastStart = 0;
  std::future<void> m_flush;
};

} // namespace quorvel
