#include "app/SplitterDialog.h"

#include "app/AboutDialog.h"
#include "app/FolderPicker.h"
#include "app/SizeDialog.h"
#include "base/Text.h"
#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/SplitRun.h"
#include "framework/FileDialog.h"
#include "framework/RunningCopy.h"
#include "framework/Utf8Path.h"
#include "framework/WinApp.h"
#include "res/DialogTemplates.h"
#include "res/Look.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <utility>

namespace quorvel {

using namespace fw;
using namespace res;

namespace {

constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// Progress bars take int; a count beyond that range shows as full.
int ToProgressUnits(std::uint64_t value) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
  return static_cast<int>(std::min(value, kMax));
}

// Holds the wait cursor for one operation, on every path out of it.
class WaitCursor {
public:
  WaitCursor() { DoWaitCursor(1); }
  WaitCursor(const WaitCursor &) = delete;
  WaitCursor &operator=(const WaitCursor &) = delete;
  ~WaitCursor() { DoWaitCursor(-1); }

private:
  static void DoWaitCursor(int code) {
    if (CWinApp *application = AfxGetApp())
      application->DoWaitCursor(code);
  }
};

} // namespace

// The report after each piece: the bar, the status line ("3Files created"), the fields and an
// immediate repaint.
class SplitterDialog::PieceReport final : public Progress {
public:
  // `shownSource`, when not empty, is what the source field shows while the run goes on.
  PieceReport(SplitterDialog &dialog, std::string_view status, std::string shownSource = {})
      : m_dialog(dialog), m_status(status), m_strShownSource(std::move(shownSource)) {}

  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override {
    m_dialog.m_progress.SetRange(0, ToProgressUnits(pieceCount));
    m_dialog.m_progress.SetPos(ToProgressUnits(pieceNumber));
    m_dialog.m_strStatus = Fill(m_status, {std::to_string(pieceNumber)});
    if (!m_strShownSource.empty())
      m_dialog.m_strSourcePath = m_strShownSource;
    Show();
    return Flow::proceed;
  }

  void RemovingOlderSet() override {
    m_dialog.m_strStatus = Texts().removingOlderSet;
    Show();
  }

private:
  void Show() {
    m_dialog.UpdateData(FALSE);
    m_dialog.UpdateWindow();
  }

  SplitterDialog &m_dialog;
  std::string_view m_status;
  std::string m_strShownSource;
};

SplitterDialog::SplitterDialog()
    : CDialog(res::SplitterDialogTemplate()), m_strStatus(Texts().initialStatus),
      m_hIcon(AfxGetApp()->LoadIcon(res::IDR_MAINFRAME)) {}

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
  AddAboutItem();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  SkinButtons();

  m_progress.SetRange(1, 500);
  m_progress.m_crBack = ColourRef(kDialogColour);
  m_progress.m_bShowPercentage = TRUE;
  m_progress.SetPos(500);

  for (const SizePreset &preset : kSizePresets)
    m_sizes.push_back(preset.bytes);
  m_comboSize.SetCurSel(0);
  m_comboSize.FitDroppedWidth();
  // Their texts, a size and a percentage, say nothing of what they are.
  m_comboSize.SetAccessibleName(CString{Texts().pieceSizeName});
  m_progress.SetAccessibleName(CString{Texts().progressName});
  DragAcceptFiles();
  if (CWinApp *application = AfxGetApp(); application && application->m_pMainWnd == this)
    AnswerLaterCopies(m_hWnd, application->m_pszAppName);
  return TRUE;
}

void SplitterDialog::AddAboutItem() {
  CMenu *systemMenu = GetSystemMenu(FALSE);
  const CString aboutItem{Texts().aboutItem};
  if (!systemMenu || aboutItem.empty())
    return;
  systemMenu->AppendMenu(MF_SEPARATOR);
  systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutItem);
}

void SplitterDialog::SkinButtons() {
  for (ImageButton *browse : {&m_btnBrowseSource, &m_btnBrowseDest}) {
    browse->SetStateImages(kBrowseSkin.bitmap, kBrowseSkin.frames, kBrowseSkin.top,
                           kBrowseSkin.bottom, kBrowseSkin.left, kBrowseSkin.right);
    browse->SetCaptionColor(ColourRef(kBrowseCaptionColour));
  }
  // Their caption, "...", tells a screen reader's user nothing.
  m_btnBrowseSource.SetAccessibleName(CString{Texts().chooseSourceName});
  m_btnBrowseDest.SetAccessibleName(CString{Texts().chooseDestinationName});
  for (ImageButton *push : {&m_btnExit, &m_btnJoin, &m_btnSplit})
    push->SetStateImages(kButtonSkin.bitmap, kButtonSkin.frames, kButtonSkin.top,
                         kButtonSkin.bottom, kButtonSkin.left, kButtonSkin.right);
  // It is the Cancel button while the rest wait.
  m_btnExit.KeepArrowCursor(TRUE);
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

// The system ends the program once this returns, so the run puts its folders back first.
void SplitterDialog::OnEndSession(BOOL ending) {
  if (ending)
    m_run.StopAndWait();
}

void SplitterDialog::StopRun() {
  m_run.Stop();
  // Seen at once, however long the run takes to put the folder back.
  GetDlgItem(IDC_EXIT)->EnableWindow(FALSE);
  m_strStatus = Texts().cancelling;
  UpdateData(FALSE);
}

void SplitterDialog::EndIfCloseAsked() {
  if (std::exchange(m_bCloseAfterRun, false))
    EndDialog(IDCANCEL);
}

std::string SplitterDialog::SourceFilter() const {
  return m_bSplitMode ? std::string{Texts().splitFilter}
                      : Fill(Texts().joinFilter, {PieceSet::PiecePrefix(1)});
}

void SplitterDialog::OnBrowseSource() {
  CFileDialog dialog(TRUE, nullptr, nullptr, kOpenFlags, SourceFilter().c_str());
  if (dialog.DoModal() != IDOK)
    return;
  m_strSourcePath = dialog.GetPathName();
  m_strSourceName = dialog.GetFileName();
  UpdateData(FALSE);
}

void SplitterDialog::OnDropFiles(HDROP drop) {
  const std::vector<CString> paths = DroppedPaths(drop);
  if (paths.empty())
    return;
  if (paths.size() > 1)
    return RefuseDrop(Texts().dropOneFile);
  const std::filesystem::path dropped = PathFromUtf8(paths.front());
  std::error_code error;
  if (std::filesystem::is_directory(dropped, error)) {
    m_strDestFolder = paths.front();
    UpdateData(FALSE);
    return;
  }
  // Only what the file-open dialog of the mode would offer: in join mode a first piece.
  const CString name = Utf8FromPath(dropped.filename());
  bool offered = false;
  for (const FileFilter &filter : ParseFilterString(SourceFilter().c_str()))
    for (const CString &pattern : filter.patterns)
      offered = offered || MatchesFilterPattern(name, pattern);
  if (!std::filesystem::exists(dropped, error))
    return RefuseDrop(Texts().dropNotFound);
  if (!offered)
    return RefuseDrop(Fill(Texts().dropFirstPieceOnly, {PieceSet::PiecePrefix(1)}));
  m_strSourcePath = paths.front();
  m_strSourceName = name;
  UpdateData(FALSE);
}

void SplitterDialog::RefuseDrop(std::string_view why) {
  m_strStatus = why;
  UpdateData(FALSE);
}

void SplitterDialog::OnBrowseDest() {
  FolderPicker picker;
  // Where the user last was.
  picker.m_strInitial = m_strDestFolder;
  if (picker.Browse(this) != 1)
    return;
  m_strDestFolder = picker.m_strPath;
  UpdateData(FALSE);
}

void SplitterDialog::OnSplit() {
  if (SplitFile() == 0)
    ShowNotice(Texts().splitSucceeded);
  EndIfCloseAsked();
}

void SplitterDialog::OnJoin() {
  if (JoinFiles() == 0)
    ShowNotice(Texts().joinSucceeded);
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
  UpdateData(FALSE);
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
  m_btnExit.SetWindowText(CString{running ? Texts().cancelButton : Texts().exitButton});
  // Seen before the first piece, however long that takes.
  UpdateWindow();
}

int SplitterDialog::SplitFile() {
  WaitCursor waitCursor;
  UpdateData(TRUE);
  const SplitRequest request{m_strSourcePath, m_strDestFolder, GetPieceSize()};
  PieceReport report(*this, Texts().piecesCreated);
  return ReportOutcome(
      RunCore([&request](Progress &progress) { return RunSplit(request, progress); }, report));
}

int SplitterDialog::JoinFiles() {
  WaitCursor waitCursor;
  UpdateData(TRUE);
  const JoinRequest request{m_strSourcePath, m_strDestFolder};
  PieceReport report(*this, Texts().piecesJoined, JoinedPathOf(request));
  const Outcome outcome =
      RunCore([&request](Progress &progress) { return RunJoin(request, progress); }, report);
  if (outcome.kind == Outcome::Kind::cancelled)
    // Ready to be joined again.
    m_strSourcePath = request.firstPiece;
  return ReportOutcome(outcome);
}

std::uint64_t SplitterDialog::GetPieceSize() const {
  const int index = m_comboSize.GetCurSel();
  if (index < 0 || static_cast<std::size_t>(index) >= m_sizes.size())
    return kDefaultPieceSize;
  return m_sizes[static_cast<std::size_t>(index)];
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

int SplitterDialog::ReportOutcome(const Outcome &outcome) {
  switch (outcome.kind) {
  case Outcome::Kind::done:
    m_strSourcePath.clear();
    m_strSourceName.clear();
    UpdateData(FALSE);
    return 0;
  case Outcome::Kind::refused:
    return ReportRefusal(outcome);
  case Outcome::Kind::failed:
    return ReportFailure(outcome);
  case Outcome::Kind::cancelled:
    // The user asked for it: the status line says so, and no box.
    m_strStatus = Texts().cancelled;
    UpdateData(FALSE);
    return 1;
  }
  return 1;
}

int SplitterDialog::ReportRefusal(const Outcome &outcome) {
  switch (outcome.refusal) {
  case Refusal::noSource:
  case Refusal::noDestination:
    ShowNotice(RefusalText(outcome));
    return 1;
  case Refusal::tooShort:
    ShowNotice(RefusalText(outcome));
    m_strSourcePath.clear();
    m_strSourceName.clear();
    UpdateData(FALSE);
    return 1;
  default:
    AfxMessageBox(CString{RefusalText(outcome)}, MB_ICONSTOP);
    return 1;
  }
}

int SplitterDialog::ReportFailure(const Outcome &outcome) {
  switch (outcome.stage) {
  case Stage::source:
    AfxMessageBox(CString{FailureText(outcome.failure)}, MB_OK);
    // Lead the user back to the source field.
    FocusSourceField();
    return 1;
  case Stage::open:
    AfxMessageBox(CString{FailureText(outcome.failure)}, MB_OK);
    return 1;
  case Stage::copy:
    // Left to the framework's failure report, as any failure that escapes a command.
    throw std::runtime_error(FailureText(outcome.failure, kFailureReportBufferSize));
  }
  return 1;
}

void SplitterDialog::ShowNotice(std::string_view text) {
  MessageBox(CString{text}, CString{Texts().noticeCaption}, MB_OK | MB_ICONEXCLAMATION);
}

void SplitterDialog::FocusSourceField() {
  m_editSource.SetFocus();
  m_editSource.SendMessage(EM_SETSEL, 0, -1);
  m_editSource.SendMessage(EM_SCROLLCARET, 0, 0);
}

} // namespace quorvel
