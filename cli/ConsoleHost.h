#pragma once

#include "cli/ProgressLine.h"
#include "engine/EngineHost.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace quorvel::cli {

enum class Operation { split, join };

// Runs the engine for a script: notices and errors go to stderr as plain lines, and on a
// terminal a progress line follows the pieces.
class ConsoleHost final : public EngineHost {
public:
  ConsoleHost(Operation operation, int sizeSelection);

  void DoWaitCursor(int) override {}
  // The fields are the members themselves: there is nothing to copy either way.
  void UpdateData(bool) override {}
  void UpdateWindow() override;
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  int GetSizeSelection() override { return m_sizeSelection; }
  void MessageBox(std::string_view text, std::string_view caption, unsigned type) override;
  void AfxMessageBox(std::string_view text, unsigned type) override;
  void FocusSourceField() override {}

  // Call once the members are set, before the operation runs.
  void ShowProgressOn(std::FILE *terminal);
  // Ends the progress line so that what follows starts on a line of its own.
  void FinishProgress() { m_progress.reset(); }

private:
  std::uint64_t BytesDone() const;

  Operation m_operation;
  int m_sizeSelection;
  std::uint64_t m_piecesReported = 0;
  std::uint64_t m_totalBytes = 0;
  std::optional<ProgressLine> m_progress;
};

} // namespace quorvel::cli
