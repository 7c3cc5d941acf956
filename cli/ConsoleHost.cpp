#include "cli/ConsoleHost.h"

#include "engine/PieceNaming.h"

#include <filesystem>
#include <system_error>

namespace quorvel::cli {
namespace {

std::uint64_t SizeOrZero(const std::string &path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

// The bytes the join will read: the pieces beside the first one, up to the first missing number.
std::uint64_t JoinTotalBytes(const std::string &firstPiecePath) {
  const std::string_view firstName = SourceNameOf(firstPiecePath);
  if (!firstName.starts_with("1_"))
    return 0;
  const std::string_view folder{firstPiecePath.data(), firstPiecePath.size() - firstName.size()};
  const std::string_view joinedName = JoinedFileName(firstName);
  std::uint64_t total = 0;
  for (std::uint64_t pieceNumber = 1;; ++pieceNumber) {
    std::error_code error;
    const auto size =
        std::filesystem::file_size(JoinPiecePath(folder, pieceNumber, joinedName), error);
    if (error)
      return total;
    total += size;
  }
}

} // namespace

ConsoleHost::ConsoleHost(Operation operation, int sizeSelection)
    : m_operation(operation), m_sizeSelection(sizeSelection) {}

void ConsoleHost::ShowProgressOn(std::FILE *terminal) {
  m_totalBytes = m_operation == Operation::split ? SizeOrZero(m_strSourcePath)
                                                 : JoinTotalBytes(m_strSourcePath);
  m_progress.emplace(terminal, m_totalBytes);
}

void ConsoleHost::UpdateWindow() {
  // Every report ends with exactly one repaint, so the repaints count the pieces.
  ++m_piecesReported;
  if (m_progress)
    m_progress->Draw(m_piecesReported, BytesDone());
}

std::uint64_t ConsoleHost::BytesDone() const {
  if (m_operation == Operation::split)
    return m_piecesReported * PieceSizeForIndex(m_sizeSelection);
  // While a join runs the source path names its output.
  return SizeOrZero(m_strSourcePath);
}

void ConsoleHost::MessageBox(std::string_view text, std::string_view, unsigned) {
  FinishProgress();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void ConsoleHost::AfxMessageBox(std::string_view text, unsigned type) {
  MessageBox(text, {}, type);
}

} // namespace quorvel::cli
