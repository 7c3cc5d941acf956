#include "engine/FlushBehind.h"

#include <chrono>

namespace quorvel {
namespace {

// Large enough that the device's own cache is not flushed for every piece.
constexpr std::uint64_t kFlushEvery = std::uint64_t{32} << 20;

} // namespace

FlushBehind::~FlushBehind() {
  if (m_flush.valid())
    m_flush.wait();
}

void FlushBehind::Reached(std::uint64_t written) {
  if (written - m_lastStart < kFlushEvery)
    return;
  if (m_flush.valid()) {
    if (m_flush.wait_for(std::chrono::seconds{0}) != std::future_status::ready)
      return;
    m_flush.get();
  }
  m_lastStart = written;
  m_flush = std::async(std::launch::async, [this] { m_file.Flush(); });
}

void FlushBehind::Finish() {
  if (m_flush.valid())
    m_flush.get();
}

} // namespace quorvel
