#pragma once

#include <cstdint>
#include <cstdio>

namespace quorvel::cli {

// One terminal line redrawn in place after each piece.
class ProgressLine {
public:
  ProgressLine(std::FILE *out, std::uint64_t totalBytes) : m_out(out), m_totalBytes(totalBytes) {}
  ProgressLine(const ProgressLine &) = delete;
  ProgressLine &operator=(const ProgressLine &) = delete;
  ~ProgressLine();

  void Draw(std::uint64_t pieceNumber, std::uint64_t bytesDone);

private:
  std::FILE *m_out;
  std::uint64_t m_totalBytes;
  bool m_drawn = false;
};

} // namespace quorvel::cli
