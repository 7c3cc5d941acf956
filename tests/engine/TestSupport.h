#pragma once

#include "engine/EngineHost.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
  explicit TempDir(const fs::path &parent = fs::temp_directory_path());
  ~TempDir();
  const fs::path &path() const { return m_path; }
  std::string operator/(std::string_view name) const { return (m_path / name).string(); }

private:
  fs::path m_path;
};

std::string RandomBytes(std::size_t count, unsigned seed);
void WriteFile(const std::string &path, std::string_view bytes);
std::string ReadFile(const std::string &path);
// The names in a folder, sorted: what a run left behind.
std::vector<std::string> NamesIn(const fs::path &folder);

// A separate process that holds a flock on a file until destroyed, as another program holding
// the file open would.
class LockHolder {
public:
  LockHolder(const std::string &path, int lockOperation);
  ~LockHolder();

private:
  pid_t m_child = -1;
  int m_release = -1;
};

// Records every report in the order the engine makes it.
class RecordingHost final : public EngineHost {
public:
  void DoWaitCursor(int code) override { m_waitDepth += code; }
  void UpdateData(bool save) override { Record(save ? "UpdateData(true)" : "UpdateData(false)"); }
  void UpdateWindow() override;
  void SetProgressRange(int lower, int upper) override;
  void SetProgressPos(int position) override;
  int GetSizeSelection() override { return m_sizeSelection; }
  void MessageBox(std::string_view text, std::string_view caption, unsigned type) override;
  void AfxMessageBox(std::string_view text, unsigned type) override;
  void FocusSourceField() override { Record("FocusSourceField"); }

  void Record(std::string event) { m_events.push_back(std::move(event)); }
  // The message boxes alone, as "caption|type|text" with "app" for the application's title.
  std::vector<std::string> Messages() const;

  // Runs at each repaint, that is once after each piece: where a test acts while a run goes on.
  std::function<void()> m_onRepaint;
  int m_sizeSelection = 0;
  int m_waitDepth = 0;
  int m_rangeLower = 0;
  int m_rangeUpper = 0;
  int m_position = 0;
  std::vector<std::string> m_events;
};

} // namespace quorvel::test
