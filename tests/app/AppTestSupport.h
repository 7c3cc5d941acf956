#pragma once

#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "res/DialogTemplates.h"
#include "tests/app/WindowDriver.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quorvel::test {

// Answers the program's modal windows from a script and keeps what each one showed. A window
// without a scripted answer is cancelled.
class ScriptedModalUi final : public fw::ModalUi {
public:
  ScriptedModalUi() { fw::SetModalUi(this); }
  ~ScriptedModalUi() override { fw::SetModalUi(nullptr); }

  int MessageBox(const fw::MessageBoxRequest &request) override;
  std::optional<fw::CString> OpenFile(const fw::FileOpenRequest &request) override;
  std::optional<fw::FolderChoice> BrowseForFolder(const fw::FolderBrowseRequest &request) override;

  std::vector<fw::MessageBoxRequest> boxes;
  // Called while each box would be shown, to look at the program meanwhile.
  std::function<void()> onBox;
  std::vector<fw::FileOpenRequest> fileRequests;
  std::deque<std::optional<fw::CString>> fileAnswers;
  std::vector<fw::FolderBrowseRequest> folderRequests;
  std::deque<std::optional<fw::FolderChoice>> folderAnswers;
};

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path &path() const { return m_path; }
  // The folder's own path, and the path of `name` in it with the platform's separators, in UTF-8
  // as the program holds paths.
  std::string Text() const;
  std::string operator/(const std::string &name) const;

private:
  std::filesystem::path m_path;
};

std::vector<char> RandomBytes(std::size_t size, unsigned seed);
void WriteFile(const std::string &path, const std::vector<char> &bytes);
std::vector<char> ReadFile(const std::string &path);

// Calls `look` from inside the modal loop of the window that the caller opens next, once that
// window shows within `turnsLeft` turns of the event loop; `look` ends the loop.
void WhenModalWindowShows(std::function<void(HWND window)> look, int turnsLeft = 1000);

// The main dialog that the application's start-up shows; the tests run inside its modal loop.
SplitterDialog &ApplicationDialog();

// A fresh main dialog, made and initialised without a modal loop of its own, in place of the
// application's main window.
class DialogTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  HWND Control(unsigned id) const { return dialog.GetDlgItem(static_cast<int>(id))->m_hWnd; }
  void Click(unsigned id) const { test::Click(Control(id)); }
  fw::CString TextOf(unsigned id) const;
  bool IsEnabled(unsigned id) const;
  int CheckOf(unsigned id) const;
  void ChooseSource(const std::string &path);
  void ChooseDestination(const std::string &folder);

  ScriptedModalUi modal;
  TempFolder folder;
  SplitterDialog dialog;

private:
  fw::CWnd *m_applicationWindow = nullptr;
};

} // namespace quorvel::test
