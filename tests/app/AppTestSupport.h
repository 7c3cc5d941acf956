#pragma once

#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
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
  std::string operator/(const std::string &name) const { return (m_path / name).string(); }

private:
  std::filesystem::path m_path;
};

std::vector<char> RandomBytes(std::size_t size, unsigned seed);
void WriteFile(const std::string &path, const std::vector<char> &bytes);
std::vector<char> ReadFile(const std::string &path);

QWidget *WidgetOf(const fw::CWnd &window);
// Presses and releases the left mouse button over a control, as the user clicks it.
void ClickWith(QWidget *control);

// The main dialog made and initialised, without its modal loop, as the application's main window.
class DialogTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  QWidget *Control(int id) const { return WidgetOf(*dialog.GetDlgItem(id)); }
  void Click(int id) const { ClickWith(Control(id)); }
  fw::CString TextOf(int id) const;
  bool IsEnabled(int id) const { return dialog.GetDlgItem(id)->IsWindowEnabled() != fw::FALSE; }
  void ChooseSource(const std::string &path);
  void ChooseDestination(const std::string &folder);

  ScriptedModalUi modal;
  TempFolder folder;
  SplitterDialog dialog;
};

} // namespace quorvel::test
