#include "cli/ProgressLine.h"

#include "cli/ConsoleText.h"

#include <algorithm>
#include <cinttypes>

namespace quorvel::cli {
namespace {

// Clears what a longer earlier line left behind. A Windows console would show the escape as text;
// the line only grows while a run goes on, so it can do without.
#ifdef _WIN32
constexpr const char *kClearToLineEnd = "";
#else
constexpr const char *kClearToLineEnd = "\33[K";
#endif

} // namespace

ProgressLine::~ProgressLine() {
  if (m_drawn)
    std::fputc('\n', m_out);
}

void ProgressLine::Draw(std::uint64_t pieceNumber, std::uint64_t bytesDone) {
  bytesDone = std::min(bytesDone, m_totalBytes);
  const unsigned percent =
      m_totalBytes == 0 ? 100 : static_cast<unsigned>(bytesDone * 100.0 / m_totalBytes);
  char line[128];
  std::snprintf(line, sizeof line,
                "\rpiece %" PRIu64 "  %3u %%  %" PRIu64 " of %" PRIu64 " bytes%s", pieceNumber,
                percent, bytesDone, m_totalBytes, kClearToLineEnd);
  WriteText(m_out, line);
  std::fflush(m_out);
  m_drawn = true;
}

} // namespace quorvel::cli
