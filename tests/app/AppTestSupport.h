#pragma once

#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "res/DialogTemplates.h"

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

// A title, the window menu and the close button, and no box to minimize or maximize with.
void ExpectDialogFrame(Qt::WindowFlags flags);

QWidget *WidgetOf(const fw::CWnd &window);
// Presses and releases the left mouse button over a control, as the user clicks it.
void ClickWith(QWidget *control);

// The main dialog that the application's start-up shows; the tests run inside its modal loop.
SplitterDialog &ApplicationDialog();

// A fresh main dialog, made and initialised without a modal loop of its own, in place of the
// application's main window.
class DialogTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  QWidget *Control(unsigned id) const { return WidgetOf(*dialog.GetDlgItem(static_cast<int>(id))); }
  void Click(unsigned id) const { ClickWith(Control(id)); }
  fw::CString TextOf(unsigned id) const;
  bool IsEnabled(unsigned id) const;
  void ChooseSource(const std::string &path);
  void ChooseDestination(const std::string &folder);

  ScriptedModalUi modal;
  TempFolder folder;
  SplitterDialog dialog;

private:
  fw::CWnd *m_applicationWindow = nullptr;
};

} // namespace quorvel::test
