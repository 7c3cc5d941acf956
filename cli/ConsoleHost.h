#pragma once

#include "cli/ProgressLine.h"
#include "engine/Outcome.h"
#include "engine/Progress.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace quorvel::cli {

// Runs the engine for a script: why a run stopped goes to stderr as a plain line after the
// program's name, and on a terminal a progress line follows the bytes.
class ConsoleHost final : public Progress {
public:
  // `terminal`, when not null, is where the progress line is drawn. The run starts now.
  explicit ConsoleHost(std::FILE *terminal)
      : m_terminal(terminal), m_start(ProgressLine::Clock::now()) {}

  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override;
  Flow BytesDone(std::uint64_t done, std::uint64_t total) override;
  void RemovingOlderSet() override;

  // Says why the run stopped, if it did, and returns the exit status: 0 done, 1 stopped.
  int Report(const Outcome &outcome);

private:
  void Show();

  std::FILE *m_terminal;
  ProgressLine::Clock::time_point m_start;
  std::uint64_t m_pieceNumber = 0;
  std::uint64_t m_bytesDone = 0;
  std::uint64_t m_totalBytes = 0;
  std::optional<ProgressLine> m_progress;
};

} // namespace quorvel::cli
