#include "app/SplitterDialog.h"

#include "app/AboutDialog.h"
#include "app/FolderPicker.h"
#include "app/SizeDialog.h"
#include "engine/HostReports.h"
#include "engine/JoinFiles.h"
#include "engine/SplitFile.h"
#include "framework/FileDialog.h"
#include "framework/RunningCopy.h"
#include "framework/Utf8Path.h"
#include "framework/WinApp.h"
#include "res/DialogTemplates.h"
#include "res/Look.h"
#include "res/Resources.h"
#include "res/StringTable.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>

namespace quorvel {

using namespace fw;
using namespace res;

namespace {

constexpr const char *kSplitFilter = "All Files(*.*)|*.*||";
constexpr const char *kJoinFilter = "Splitted File(1_*.*)|1_*.*||";
constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// Why a drop was not taken, short enough for the status line.
constexpr std::string_view kDropOneFile = "Only one file";
constexpr std::string_view kDropFirstPiece = "Only 1_ pieces";
constexpr std::string_view kDropNotFound = "Not found";

} // namespace

SplitterDialog::SplitterDialog()
    : CDialog(res::SplitterDialogTemplate()), m_hIcon(AfxGetApp()->LoadIcon(res::IDR_MAINFRAME)) {
  m_strStatus = "Status";
}

SplitterDialog::~SplitterDialog() = default;

std::span<const CommandMapEntry> SplitterDialog::GetMessageMap() const {
  static const std::array kMessageMap{
      CommandMapEntry{IDC_BROWSE_SOURCE, BN_CLICKED, Handler(&SplitterDialog::OnBrowseSource)},
      CommandMapEntry{IDC_SPLIT, BN_CLICKED, Handler(&SplitterDialog::OnSplit)},
      CommandMapEntry{IDC_JOIN, BN_CLICKED, Handler(&SplitterDialog::OnJoin)},
      CommandMapEntry{IDC_MODE_JOIN, BN_CLICKED, Handler(&SplitterDialog::OnModeJoin)},
      CommandMapEntry{IDC_MODE_SPLIT, BN_CLICKED, Handler(&SplitterDialog::OnModeSplit)},
      CommandMapEntry{IDC_BROWSE_DEST, BN_CLICKED, Handler(&SplitterDialog::OnBrowseDest)},
      CommandMapEntry{IDC_SIZE_LIST, CBN_SELCHANGE, Handler(&SplitterDialog::OnSizeChange)},
  };
  return kMessageMap;
}

void SplitterDialog::DoDataExchange(CDataExchange *pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SIZE_LIST, m_comboSize);
  DDX_Control(pDX, IDC_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_JOIN, m_btnJoin);
  DDX_Control(pDX, IDC_EXIT, m_btnExit);
  DDX_Control(pDX, IDC_SPLIT, m_btnSplit);
  DDX_Control(pDX, IDC_BROWSE_SOURCE, m_btnBrowseSource);
  DDX_Control(pDX, IDC_BROWSE_DEST, m_btnBrowseDest);
  DDX_Control(pDX, IDC_MODE_SPLIT, m_radioSplit);
  DDX_Control(pDX, IDC_SOURCE_PATH, m_editSource);
  DDX_Text(pDX, IDC_STATUS, m_strStatus);
  DDX_Text(pDX, IDC_SOURCE_PATH, m_strSourcePath);
  DDX_Text(pDX, IDC_DEST_FOLDER, m_strDestFolder);
}

BOOL SplitterDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_bSplitMode)
    m_radioSplit.SetCheck(BST_CHECKED);
  GetDlgItem(IDC_JOIN)->EnableWindow(FALSE);

  if (CMenu *systemMenu = GetSystemMenu(FALSE)) {
    const CString aboutItem{res::FindString(res::IDS_ABOUTBOX)};
    if (!aboutItem.empty()) {
      systemMenu->AppendMenu(MF_SEPARATOR);
      systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutItem);
    }
  }
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  for (ImageButton *browse : {&m_btnBrowseSource, &m_btnBrowseDest}) {
    browse->SetStateImages(kBrowseSkin.bitmap, kBrowseSkin.frames, kBrowseSkin.top,
                           kBrowseSkin.bottom, kBrowseSkin.left, kBrowseSkin.right);
    browse->SetCaptionColor(ColourRef(kBrowseCaptionColour));
  }
  // Their caption, "...", tells a screen reader's user nothing.
  m_btnBrowseSource.SetAccessibleName("Choose the source file");
  m_btnBrowseDest.SetAccessibleName("Choose the destination folder");
  for (ImageButton *push : {&m_btnExit, &m_btnJoin, &m_btnSplit})
    push->SetStateImages(kButtonSkin.bitmap, kButtonSkin.frames, kButtonSkin.top,
                         kButtonSkin.bottom, kButtonSkin.left, kButtonSkin.right);
  // It is the Cancel button while the rest wait.
  m_btnExit.KeepArrowCursor(TRUE);

  m_progress.SetRange(1, 500);
  m_progress.m_crBack = ColourRef(kDialogColour);
  m_progress.m_bShowPercentage = TRUE;
  m_progress.SetPos(500);

  for (const SizePreset &preset : kSizePresets)
    m_sizes.push_back(preset.bytes);
  m_comboSize.SetCurSel(0);
  m_comboSize.FitDroppedWidth();
  // Their texts, a size and a percentage, say nothing of what they are.
  m_comboSize.SetAccessibleName("Piece size");
  m_progress.SetAccessibleName("Progress");
  DragAcceptFiles();
  if (CWinApp *application = AfxGetApp(); application && application->m_pMainWnd == this)
    AnswerLaterCopies(m_hWnd, application->m_pszAppName);
  return TRUE;
}

void SplitterDialog::OnSysCommand(UINT id, LPARAM lParam) {
  if ((id & 0xFFF0) != IDM_ABOUTBOX)
    return CDialog::OnSysCommand(id, lParam);
  AboutDialog about;
  about.DoModal();
}

void SplitterDialog::OnPaint() {
  if (!IsIconic())
    return CDialog::OnPaint();
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  CRect client;
  GetClientRect(&client);
  const int x = (client.Width() - iconWidth + 1) / 2;
  const int y = (client.Height() - iconHeight + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HICON SplitterDialog::OnQueryDragIcon() { return m_hIcon; }

BOOL SplitterDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  // Whatever sends them, no click but Cancel's and help's reaches the dialog during a run.
  const UINT id = LOWORD(wParam);
  if (m_run.IsRunning() && HIWORD(wParam) == BN_CLICKED && id != IDCANCEL && id != ID_HELP)
    return TRUE;
  return CDialog::OnCommand(wParam, lParam);
}

void SplitterDialog::OnCancel() {
  if (!m_run.IsRunning())
    return CDialog::OnCancel();
  StopRun();
}

void SplitterDialog::OnClose() {
  if (!m_run.IsRunning())
    return CDialog::OnClose();
  m_bCloseAfterRun = true;
  StopRun();
}

void SplitterDialog::StopRun() {
  m_run.Stop();
  // Seen at once, however long the run takes to put the folder back.
  GetDlgItem(IDC_EXIT)->EnableWindow(FALSE);
  m_strStatus = kCancellingStatus;
  UpdateData(false);
}

void SplitterDialog::EndIfCloseAsked() {
  if (std::exchange(m_bCloseAfterRun, false))
    EndDialog(IDCANCEL);
}

const char *SplitterDialog::SourceFilter() const {
  return m_bSplitMode ? kSplitFilter : kJoinFilter;
}

void SplitterDialog::OnBrowseSource() {
  CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, SourceFilter());
  if (dialog.DoModal() != IDOK)
    return;
  m_strSourcePath = dialog.GetPathName();
  m_strSourceName = dialog.GetFileName();
  UpdateData(false);
}

void SplitterDialog::OnDropFiles(HDROP drop) {
  const std::vector<CString> paths = DroppedPaths(drop);
  if (paths.empty())
    return;
  if (paths.size() > 1)
    return RefuseDrop(kDropOneFile);
  const std::filesystem::path dropped = PathFromUtf8(paths.front());
  std::error_code error;
  if (std::filesystem::is_directory(dropped, error)) {
    m_strDestFolder = paths.front();
    UpdateData(false);
    return;
  }
  // Only what the file-open dialog of the mode would offer: in join mode a first piece.
  const CString name = Utf8FromPath(dropped.filename());
  bool offered = false;
  for (const FileFilter &filter : ParseFilterString(SourceFilter()))
    for (const CString &pattern : filter.patterns)
      offered = offered || MatchesFilterPattern(name, pattern);
  if (!std::filesystem::exists(dropped, error))
    return RefuseDrop(kDropNotFound);
  if (!offered)
    return RefuseDrop(kDropFirstPiece);
  m_strSourcePath = paths.front();
  m_strSourceName = name;
  UpdateData(false);
}

void SplitterDialog::RefuseDrop(std::string_view why) {
  m_strStatus = why;
  UpdateData(false);
}

void SplitterDialog::OnBrowseDest() {
  FolderPicker picker;
  // Where the user last was.
  picker.m_strInitial = m_strDestFolder;
  if (picker.Browse(this) != 1)
    return;
  m_strDestFolder = picker.m_strPath;
  UpdateData(false);
}

void SplitterDialog::OnSplit() {
  if (SplitFile() == 0)
    MessageBox(CString{kSplitSucceeded}, CString{kNoticeCaption}, MB_OK | MB_ICONEXCLAMATION);
  EndIfCloseAsked();
}

void SplitterDialog::OnJoin() {
  if (JoinFiles() == 0)
    MessageBox(CString{kJoinSucceeded}, CString{kNoticeCaption}, MB_OK | MB_ICONEXCLAMATION);
  EndIfCloseAsked();
}

void SplitterDialog::OnSizeChange() {
  const int chosen = m_comboSize.GetCurSel();
  const auto askIndex = static_cast<int>(m_sizes.size());
  if (chosen != askIndex) {
    m_nSizeChosen = chosen;
    return;
  }
  SizeDialog ask(this);
  if (ask.DoModal() == IDOK) {
    // A size the list has is chosen there, not offered twice.
    const auto known = std::ranges::find(m_sizes, ask.m_nBytes);
    m_nSizeChosen = static_cast<int>(known - m_sizes.begin());
    if (known == m_sizes.end()) {
      m_comboSize.InsertString(askIndex, ask.m_strLabel);
      m_sizes.push_back(ask.m_nBytes);
      m_comboSize.FitDroppedWidth();
    }
  }
  m_comboSize.SetCurSel(m_nSizeChosen);
}

void SplitterDialog::OnModeJoin() { EnterMode(0); }

void SplitterDialog::OnModeSplit() { EnterMode(1); }

// Every click of a mode's radio empties the source, also when that mode is already in force.
void SplitterDialog::EnterMode(int splitMode) {
  m_bSplitMode = splitMode;
  EnableForMode();
  m_strSourcePath.clear();
  UpdateData(false);
}

void SplitterDialog::EnableForMode() {
  GetDlgItem(IDC_SIZE_LIST)->EnableWindow(m_bSplitMode);
  GetDlgItem(IDC_SPLIT)->EnableWindow(m_bSplitMode);
  GetDlgItem(IDC_JOIN)->EnableWindow(!m_bSplitMode);
}

void SplitterDialog::ShowRunning(bool running) {
  // The keys, Escape and Enter among them, go to Cancel.
  if (running)
    m_btnExit.SetFocus();
  for (unsigned id : {IDC_MODE_SPLIT, IDC_MODE_JOIN, IDC_BROWSE_SOURCE, IDC_BROWSE_DEST})
    GetDlgItem(static_cast<int>(id))->EnableWindow(!running);
  if (running) {
    for (unsigned id : {IDC_SPLIT, IDC_JOIN, IDC_SIZE_LIST})
      GetDlgItem(static_cast<int>(id))->EnableWindow(FALSE);
  } else {
    EnableForMode();
    // A stop disabled it; the keys go back to it.
    if (!GetDlgItem(IDC_EXIT)->IsWindowEnabled()) {
      GetDlgItem(IDC_EXIT)->EnableWindow(TRUE);
      m_btnExit.SetFocus();
    }
  }
  m_btnExit.SetWindowText(running ? "Cancel" : "Exit");
  // Seen before the first piece, however long that takes.
  UpdateWindow();
}

int SplitterDialog::SplitFile() { return quorvel::SplitFile(*this); }

int SplitterDialog::JoinFiles() { return quorvel::JoinFiles(*this); }

void SplitterDialog::DoWaitCursor(int code) {
  if (CWinApp *application = AfxGetApp())
    application->DoWaitCursor(code);
}

void SplitterDialog::UpdateData(bool saveAndValidate) {
  CDialog::UpdateData(saveAndValidate ? TRUE : FALSE);
}

void SplitterDialog::UpdateWindow() { CWnd::UpdateWindow(); }

void SplitterDialog::SetProgressRange(int lower, int upper) { m_progress.SetRange(lower, upper); }

void SplitterDialog::SetProgressPos(int position) { m_progress.SetPos(position); }

int SplitterDialog::GetSizeSelection() { return m_comboSize.GetCurSel(); }

std::uint64_t SplitterDialog::GetPieceSize() {
  const int index = GetSizeSelection();
  if (index < 0 || static_cast<std::size_t>(index) >= m_sizes.size())
    return kDefaultPieceSize;
  return m_sizes[static_cast<std::size_t>(index)];
}

void SplitterDialog::ShowMessageBox(std::string_view text, std::string_view caption,
                                    unsigned type) {
  CWnd::MessageBox(CString{text}, CString{caption}, type);
}

void SplitterDialog::AfxMessageBox(std::string_view text, unsigned type) {
  fw::AfxMessageBox(CString{text}, type);
}

Outcome SplitterDialog::RunCore(const Core &core, Progress &progress) {
  ShowRunning(true);
  // Whatever the end, failures included.
  struct Restore {
    SplitterDialog &dialog;
    ~Restore() { dialog.ShowRunning(false); }
  } restore{*this};
  return m_run.Run(core, progress);
}

void SplitterDialog::FocusSourceField() {
  m_editSource.SetFocus();
  m_editSource.SendMessage(EM_SETSEL, 0, -1);
  m_editSource.SendMessage(EM_SCROLLCARET, 0, 0);
}

} // namespace quorvel
