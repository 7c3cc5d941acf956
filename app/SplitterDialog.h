#pragma once

#include "app/BackgroundRun.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/ImageButton.h"
#include "engine/Outcome.h"
#include "engine/Progress.h"
#include "framework/Dialog.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The main window: the source and destination fields, the mode, the piece size, the progress bar
// and the status line. Its Split and Join buttons make a request of the fields, run it and tell
// the user how it ended.
class SplitterDialog : public fw::CDialog {
public:
  using Core = BackgroundRun::Core;

  SplitterDialog();
  ~SplitterDialog() override;

  // 0 when the operation ran to its end; 1 when it stopped after telling the user why. A failure
  // while the bytes are copied escapes to the framework's failure report.
  int SplitFile();
  int JoinFiles();
  // The size of the list's selection, the sizes added to it this session included.
  std::uint64_t GetPieceSize() const;
  // Runs a split or join on a worker thread and returns how it ended, with the dialog alive, the
  // controls of a run's start disabled, and `progress` told of its way on this thread.
  virtual Outcome RunCore(const Core &core, Progress &progress);

  fw::CComboBox m_comboSize;
  GradientProgressCtrl m_progress;
  ImageButton m_btnJoin;
  ImageButton m_btnExit;
  ImageButton m_btnSplit;
  ImageButton m_btnBrowseSource;
  ImageButton m_btnBrowseDest;
  fw::CButton m_radioSplit;
  fw::CEdit m_editSource;
  std::string m_strStatus;
  std::string m_strSourcePath;
  std::string m_strDestFolder;
  // The chosen source's name without its folder.
  std::string m_strSourceName;
  int m_bSplitMode = 1;
  HICON m_hIcon;

protected:
  std::span<const fw::CommandMapEntry> GetMessageMap() const override;
  void DoDataExchange(fw::CDataExchange *pDX) override;
  BOOL OnInitDialog() override;
  void OnSysCommand(UINT id, LPARAM lParam) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  // During a run: stops it and keeps the program open.
  void OnCancel() override;
  // During a run: stops it and ends the program once it has stopped.
  void OnClose() override;
  void OnEndSession(BOOL ending) override;
  void OnPaint() override;
  HICON OnQueryDragIcon() override;
  // A dropped file is chosen as the source, as the source "..." would choose it; a dropped folder
  // as the destination.
  void OnDropFiles(HDROP drop) override;

private:
  class PieceReport;

  void OnBrowseSource();
  void OnBrowseDest();
  void OnSplit();
  void OnJoin();
  void OnModeJoin();
  void OnModeSplit();
  // The list's last entry asks for a size of the user's own and adds it before itself.
  void OnSizeChange();
  // Says on the status line why a drop was not taken.
  void RefuseDrop(std::string_view why);
  void AddAboutItem();
  void SkinButtons();
  void EnterMode(int splitMode);
  // Split and the size list in split mode, Join in join mode.
  void EnableForMode();
  void ShowRunning(bool running);
  // Stops the run and shows at once that it is stopping.
  void StopRun();
  void EndIfCloseAsked();
  // Tells the user how a run ended and returns SplitFile's and JoinFiles' result.
  int ReportOutcome(const Outcome &outcome);
  int ReportRefusal(const Outcome &outcome);
  int ReportFailure(const Outcome &outcome);
  // A box under "Splitter" with the exclamation icon.
  void ShowNotice(std::string_view text);
  // Focus into the source field with all its text selected and the caret scrolled into view.
  void FocusSourceField();

  BackgroundRun m_run{*this};
  // The bytes of each entry of the size list before its last.
  std::vector<std::uint64_t> m_sizes;
  // The entry to go back to when asking for another size is cancelled.
  int m_nSizeChosen = 0;
  bool m_bCloseAfterRun = false;
  // The file-open dialog's filter of the mode in force.
  std::string SourceFilter() const;
};

} // namespace quorvel
