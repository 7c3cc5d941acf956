#include "cli/ProgressLine.h"

#include <algorithm>
#include <cinttypes>

namespace quorvel::cli {

ProgressLine::~ProgressLine() {
  if (m_drawn)
    std::fputc('\n', m_out);
}

void ProgressLine::Draw(std::uint64_t pieceNumber, std::uint64_t bytesDone) {
  bytesDone = std::min(bytesDone, m_totalBytes);
  const unsigned percent =
      m_totalBytes == 0 ? 100 : static_cast<unsigned>(bytesDone * 100.0 / m_totalBytes);
  // \33[K clears what a longer earlier line left behind.
  std::fprintf(m_out, "\rpiece %" PRIu64 "  %3u %%  %" PRIu64 " of %" PRIu64 " bytes\33[K",
               pieceNumber, percent, bytesDone, m_totalBytes);
  std::fflush(m_out);
  m_drawn = true;
}

} // namespace quorvel::cli
