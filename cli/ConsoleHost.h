#pragma once

#include "cli/ProgressLine.h"
#include "engine/EngineHost.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace quorvel::cli {

enum class Operation { split, join };

// Runs the engine for a script: notices and errors go to stderr as plain lines after the
// program's name, and on a terminal a progress line follows the pieces.
class ConsoleHost final : public EngineHost {
public:
  ConsoleHost(Operation operation, std::uint64_t pieceSize);

  void DoWaitCursor(int) override {}
  // The fields are the members themselves: there is nothing to copy either way.
  void UpdateData(bool) override {}
  void UpdateWindow() override;
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int position) override {
    m_pieceNumber = static_cast<std::uint64_t>(position);
  }
  // There is no size list: the piece size is given in bytes.
  int GetSizeSelection() override { return kNoSelection; }
  std::uint64_t GetPieceSize() override { return m_pieceSize; }
  void ShowMessageBox(std::string_view text, std::string_view caption, unsigned type) override;
  void AfxMessageBox(std::string_view text, unsigned type) override;
  void FocusSourceField() override {}

  // Call once the members are set, before the operation runs.
  void ShowProgressOn(std::FILE *terminal);
  // Ends the progress line so that what follows starts on a line of its own.
  void FinishProgress() { m_progress.reset(); }

private:
  Operation m_operation;
  std::uint64_t m_pieceSize;
  std::uint64_t m_pieceNumber = 0;
  std::uint64_t m_bytesDone = 0;
  // Where a join finds its pieces, to count their bytes as they are joined.
  std::string m_strPieceFolder;
  std::string m_strJoinedName;
  std::optional<ProgressLine> m_progress;
};

} // namespace quorvel::cli
