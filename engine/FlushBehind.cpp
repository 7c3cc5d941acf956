#include "engine/FlushBehind.h"

#include "engine/FlushTogether.h"

#include <chrono>
#include <vector>

namespace quorvel {
namespace {

// Large enough that the device's own cache is not flushed for every piece.
constexpr std::uint64_t kFlushEvery = std::uint64_t{32} << 20;

} // namespace

void FlushBehind::Reached(std::uint64_t written) {
  if (written - m_lastStart < kFlushEvery)
    return;
  if (m_flush.valid()) {
    if (m_flush.wait_for(std::chrono::seconds{0}) != std::future_status::ready)
      return;
    m_flush.get();
  }
  m_lastStart = written;
  std::vector<File> flushed;
  flushed.push_back(m_file.Duplicate());
  m_flush = FlushInBackground(std::move(flushed));
}

void FlushBehind::Finish() {
  if (m_flush.valid())
    m_flush.get();
}

} // namespace quorvel
