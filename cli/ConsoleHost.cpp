#include "cli/ConsoleHost.h"

#include "cli/ConsoleText.h"

#include "engine/JoinFiles.h"
#include "engine/PieceNaming.h"

#include <filesystem>
#include <system_error>

namespace quorvel::cli {
namespace {

std::uint64_t SizeOrZero(const std::string &path) {
  // As UTF-8 explicitly: a narrow path is in the ANSI code page on Windows.
  const std::u8string utf8(path.begin(), path.end());
  std::error_code error;
  const auto size = std::filesystem::file_size(utf8, error);
  return error ? 0 : size;
}

} // namespace

ConsoleHost::ConsoleHost(Operation operation, std::uint64_t pieceSize)
    : m_operation(operation), m_pieceSize(pieceSize) {}

void ConsoleHost::ShowProgressOn(std::FILE *terminal) {
  if (m_operation == Operation::split) {
    m_progress.emplace(terminal, SizeOrZero(m_strSourcePath));
    return;
  }
  const std::string_view firstName = SourceNameOf(m_strSourcePath);
  m_strPieceFolder = m_strSourcePath.substr(0, m_strSourcePath.size() - firstName.size());
  m_strJoinedName = firstName.starts_with("1_") ? JoinedFileName(firstName) : "";
  std::uint64_t totalBytes = 0;
  const std::uint64_t pieceCount = CountJoinPieces(m_strPieceFolder, m_strJoinedName);
  for (std::uint64_t pieceNumber = 1; pieceNumber <= pieceCount; ++pieceNumber)
    totalBytes += SizeOrZero(JoinPiecePath(m_strPieceFolder, pieceNumber, m_strJoinedName));
  m_progress.emplace(terminal, totalBytes);
}

void ConsoleHost::UpdateWindow() {
  if (!m_progress)
    return;
  if (m_operation == Operation::split)
    m_bytesDone = m_pieceNumber * m_pieceSize;
  else
    m_bytesDone += SizeOrZero(JoinPiecePath(m_strPieceFolder, m_pieceNumber, m_strJoinedName));
  m_progress->Draw(m_pieceNumber, m_bytesDone);
}

void ConsoleHost::ShowMessageBox(std::string_view text, std::string_view, unsigned) {
  FinishProgress();
  WriteText(stderr, "quorvel-split: " + std::string{text} + "\n");
}

void ConsoleHost::AfxMessageBox(std::string_view text, unsigned type) {
  ShowMessageBox(text, {}, type);
}

} // namespace quorvel::cli
