#pragma once

#include "app/BackgroundRun.h"
#include "controls/GradientProgressCtrl.h"
#include "controls/ImageButton.h"
#include "engine/EngineHost.h"
#include "framework/Dialog.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace quorvel {

// The main window: the source and destination fields, the mode, the piece size, the progress bar
// and the status line. Its Split and Join buttons run the engine with the dialog as its host.
class SplitterDialog : public fw::CDialog, public EngineHost {
public:
  SplitterDialog();
  ~SplitterDialog() override;

  // 0 when the operation ran to its end; 1 when it stopped after telling the user why.
  int SplitFile();
  int JoinFiles();

  fw::CComboBox m_comboSize;
  GradientProgressCtrl m_progress;
  ImageButton m_btnJoin;
  ImageButton m_btnExit;
  ImageButton m_btnSplit;
  ImageButton m_btnBrowseSource;
  ImageButton m_btnBrowseDest;
  fw::CButton m_radioSplit;
  fw::CEdit m_editSource;
  // The status, source and destination texts and the source name and file are EngineHost's.
  int m_bSplitMode = 1;
  HICON m_hIcon;

  // What the engine needs of its host.
  void DoWaitCursor(int code) override;
  void UpdateData(bool saveAndValidate) override;
  void UpdateWindow() override;
  void SetProgressRange(int lower, int upper) override;
  void SetProgressPos(int position) override;
  int GetSizeSelection() override;
  // The size of the list's selection, the sizes added to it this session included.
  std::uint64_t GetPieceSize() override;
  void ShowMessageBox(std::string_view text, std::string_view caption, unsigned type) override;
  void AfxMessageBox(std::string_view text, unsigned type) override;
  void FocusSourceField() override;
  // On a worker thread, with the dialog alive and the controls of a run's start disabled.
  Outcome RunCore(const Core &core, Progress &progress) override;

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
  void OnPaint() override;
  HICON OnQueryDragIcon() override;
  // A dropped file is chosen as the source, as the source "..." would choose it; a dropped folder
  // as the destination.
  void OnDropFiles(HDROP drop) override;

private:
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
  void EnterMode(int splitMode);
  // Split and the size list in split mode, Join in join mode.
  void EnableForMode();
  void ShowRunning(bool running);
  // Stops the run and shows at once that it is stopping.
  void StopRun();
  void EndIfCloseAsked();

  BackgroundRun m_run{*this};
  // The bytes of each entry of the size list before its last.
  std::vector<std::uint64_t> m_sizes;
  // The entry to go back to when asking for another size is cancelled.
  int m_nSizeChosen = 0;
  bool m_bCloseAfterRun = false;
  // The file-open dialog's filter of the mode in force.
  const char *SourceFilter() const;
};

} // namespace quorvel
