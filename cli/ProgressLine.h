#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace quorvel::cli {

// One terminal line redrawn in place as a run goes on: the pieces done, the share and the bytes
// done of all, the rate so far and the time left at that rate. However fast the pieces or blocks
// come, it is redrawn at most every kRedrawInterval, and however long a piece takes, at least as
// often as a block passes.
class ProgressLine {
public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kRedrawInterval{250};

  // `start` is when the run began, which the rate counts from.
  ProgressLine(std::FILE *out, Clock::time_point start) : m_out(out), m_start(start) {}
  ProgressLine(const ProgressLine &) = delete;
  ProgressLine &operator=(const ProgressLine &) = delete;
  // Shows the last update if it is not showing yet, and ends the line.
  ~ProgressLine();

  void Update(std::uint64_t pieceNumber, std::uint64_t bytesDone, std::uint64_t totalBytes,
              Clock::time_point now);

private:
  void Draw();

  std::FILE *m_out;
  Clock::time_point m_start;
  std::uint64_t m_pieceNumber = 0;
  std::uint64_t m_bytesDone = 0;
  std::uint64_t m_totalBytes = 0;
  Clock::time_point m_updated;
  Clock::time_point m_drawnAt;
  bool m_drawn = false;
  bool m_showing = false;
  // The last line's length: a shorter one is padded over it.
  int m_length = 0;
};

} // namespace quorvel::cli
