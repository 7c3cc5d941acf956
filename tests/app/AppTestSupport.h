#pragma once

#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"
#include "res/DialogTemplates.h"
#include "tests/app/WindowDriver.h"
#include "tools/SlowRunDialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
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

// The main dialog with its runs slowed, where a cancel that works ends a run at once.
// `onFirstPiece` is called from the event loop once the dialog has shown a run's first piece.
class SlowRunDialog final : public tools::SlowRunDialog {
public:
  Outcome RunCore(const Core &core, Progress &progress) override {
    Watched watched(progress, onFirstPiece);
    return tools::SlowRunDialog::RunCore(core, watched);
  }

  std::function<void()> onFirstPiece;

private:
  // The dialog's own report, then the test's look at it.
  class Watched final : public Progress {
  public:
    Watched(Progress &shown, std::function<void()> &onFirstPiece)
        : m_shown(shown), m_onFirstPiece(onFirstPiece) {}
    Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override {
      const Flow flow = m_shown.PieceDone(pieceNumber, pieceCount);
      if (m_onFirstPiece)
        fw::platform::PostTask(std::exchange(m_onFirstPiece, {}));
      return flow;
    }
    void RemovingOlderSet() override { m_shown.RemovingOlderSet(); }

  private:
    Progress &m_shown;
    std::function<void()> &m_onFirstPiece;
  };
};

// Asks the window system's thread from another, every few milliseconds until destroyed, as the
// desktop asks a window whether it is alive, and keeps the longest wait for an answer.
class AnswerProbe {
public:
  AnswerProbe();
  AnswerProbe(const AnswerProbe &) = delete;
  AnswerProbe &operator=(const AnswerProbe &) = delete;
  ~AnswerProbe();

  // Once destroyed or stopped.
  std::chrono::duration<double, std::milli> Longest() const { return m_longest; }
  int Answers() const { return m_answers; }
  void Stop();

private:
  struct Shared;
  void Ask();

  std::shared_ptr<Shared> m_shared;
  std::chrono::duration<double, std::milli> m_longest{0};
  int m_answers = 0;
  std::thread m_asker;
};

// The main dialog that the application's start-up shows; the tests run inside its modal loop.
SplitterDialog &ApplicationDialog();

// A fresh main dialog of type `Dialog`, made and initialised without a modal loop of its own, in
// place of the application's main window.
template <class Dialog> class DialogFixture : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dialog.Create());
    m_applicationWindow = std::exchange(fw::AfxGetApp()->m_pMainWnd, &dialog);
  }
  void TearDown() override { fw::AfxGetApp()->m_pMainWnd = m_applicationWindow; }

  HWND Control(unsigned id) const { return dialog.GetDlgItem(static_cast<int>(id))->m_hWnd; }
  void Click(unsigned id) const { test::Click(Control(id)); }
  fw::CString TextOf(unsigned id) const {
    fw::CString text;
    dialog.GetDlgItem(static_cast<int>(id))->GetWindowText(text);
    return text;
  }
  bool IsEnabled(unsigned id) const {
    return dialog.GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE;
  }
  int CheckOf(unsigned id) const {
    return static_cast<int>(dialog.GetDlgItem(static_cast<int>(id))->SendMessage(BM_GETCHECK));
  }
  void ChooseSource(const std::string &path) {
    modal.fileAnswers.push_back(path);
    Click(res::IDC_BROWSE_SOURCE);
  }
  void ChooseDestination(const std::string &folder) {
    modal.folderAnswers.push_back(fw::FolderChoice{folder});
    Click(res::IDC_BROWSE_DEST);
  }

  ScriptedModalUi modal;
  TempFolder folder;
  Dialog dialog;

private:
  fw::CWnd *m_applicationWindow = nullptr;
};

using DialogTest = DialogFixture<SplitterDialog>;

} // namespace quorvel::test
