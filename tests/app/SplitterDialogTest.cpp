#include "app/SplitterDialog.h"
#include "engine/FileException.h"
#include "framework/Mutex.h"
#include "framework/WinApp.h"
#include "framework/qt/QtControlPeers.h"
#include "framework/qt/QtDialogPeer.h"
#include "framework/qt/QtIcons.h"
#include "res/Resources.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <csignal>
#include <iterator>

#include <sys/resource.h>

namespace quorvel::test {
namespace {

using namespace fw;

using namespace res;

constexpr std::size_t kPiece = 1'400'000;

int CheckOf(const SplitterDialog &dialog, unsigned id) {
  return static_cast<int>(dialog.GetDlgItem(static_cast<int>(id))->SendMessage(BM_GETCHECK));
}

TEST(ApplicationTest, StartsGuardedWithItsMainDialogInTheDialogColours) {
  SplitterDialog &dialog = ApplicationDialog();
  QWidget *window = WidgetOf(dialog);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Quorvel File Splitter");
  ExpectDialogFrame(window->windowFlags());
  dialog.Invalidate();
  dialog.CWnd::UpdateWindow();
  const QImage &pixels = dynamic_cast<qt::QtWindowPeer *>(dialog.m_hWnd)->Surface()->image;
  EXPECT_EQ(pixels.pixelColor(1, window->height() - 2), QColor(160, 180, 220));

  CreateMutex(nullptr, TRUE, "quorvel-splitter");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(AfxGetApp()->m_pszAppName, "quorvel-splitter");

  struct sigaction onTerminate {};
  ::sigaction(SIGTERM, nullptr, &onTerminate);
  EXPECT_NE(onTerminate.sa_handler, SIG_DFL) << "a terminate signal first removes temporaries";
}

using StartupTest = DialogTest;

TEST_F(StartupTest, OpensInSplitModeWithEmptyFieldsAndAFullBar) {
  EXPECT_EQ(dialog.m_bSplitMode, 1);
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_SPLIT), BST_CHECKED);
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_JOIN), BST_UNCHECKED);
  EXPECT_TRUE(IsEnabled(IDC_SPLIT));
  EXPECT_FALSE(IsEnabled(IDC_JOIN));
  EXPECT_TRUE(IsEnabled(IDC_SIZE_LIST));
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), "");
  EXPECT_EQ(TextOf(IDC_STATUS), "Status");

  const auto *sizes = dynamic_cast<qt::QtComboPeer *>(dialog.m_comboSize.m_hWnd)->ComboBox();
  ASSERT_EQ(sizes->count(), 4);
  EXPECT_EQ(sizes->itemText(0), "1.4M");
  EXPECT_EQ(sizes->itemText(3), "0.8M");
  EXPECT_EQ(dialog.m_comboSize.GetCurSel(), 0);

  EXPECT_EQ(dialog.m_progress.m_nRangeLow, 1);
  EXPECT_EQ(dialog.m_progress.m_nRangeHigh, 500);
  EXPECT_EQ(dialog.m_progress.GetPos(), 500);
  EXPECT_EQ(dialog.m_progress.m_crBack, RGB(160, 180, 220));
}

TEST_F(StartupTest, OffersTheAboutItemAndSkinsTheButtons) {
  const auto &items = dialog.GetSystemMenu(FALSE)->m_hMenu->items;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].flags, MF_SEPARATOR);
  EXPECT_EQ(items[1].id, 16u);
  EXPECT_EQ(items[1].text, "About(&A)...");
  EXPECT_FALSE(WidgetOf(dialog)->windowIcon().isNull());
  for (const ImageButton *button : {&dialog.m_btnSplit, &dialog.m_btnJoin, &dialog.m_btnExit,
                                    &dialog.m_btnBrowseSource, &dialog.m_btnBrowseDest})
    EXPECT_EQ(button->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(StartupTest, LaysTheTemplateOutInDialogUnitsOfItsFont) {
  const CSize units = qt::DialogBaseUnits(WidgetOf(dialog)->font());
  auto pixels = [](int dialogUnits, int base, int per) {
    return (dialogUnits * base + per / 2) / per;
  };
  EXPECT_EQ(WidgetOf(dialog)->width(), pixels(161, units.cx, 4));
  EXPECT_EQ(WidgetOf(dialog)->height(), pixels(116, units.cy, 8));
  const QRect exit = Control(IDC_EXIT)->geometry();
  EXPECT_EQ(exit, QRect(pixels(108, units.cx, 4), pixels(86, units.cy, 8), pixels(43, units.cx, 4),
                        pixels(14, units.cy, 8)));
}

QWidget *OptionsFrame(const SplitterDialog &dialog) {
  for (QObject *child : WidgetOf(dialog)->children())
    if (auto *control = dynamic_cast<qt::QtWindowPeer *>(child);
        control && (control->Style() & BS_TYPEMASK) == BS_GROUPBOX)
      return control;
  return nullptr;
}

TEST_F(StartupTest, TheOptionsFrameRunsThroughItsTitleAndStaysClearOfTheSizeList) {
  auto *frame = dynamic_cast<qt::QtWindowPeer *>(OptionsFrame(dialog));
  ASSERT_NE(frame, nullptr);
  dialog.CWnd::UpdateWindow();
  const QImage &pixels = frame->Surface()->image;
  // The first row of the frame's right part, beyond the title, that is not the background.
  const int column = frame->width() - 4;
  int line = 0;
  while (line < frame->height() && pixels.pixelColor(column, line) == QColor(160, 180, 220))
    ++line;
  const int titleHeight = QFontMetrics(frame->font()).height();
  EXPECT_GT(line, titleHeight / 4);
  EXPECT_LT(line, titleHeight * 3 / 4);
  const QRect sizes = Control(IDC_SIZE_LIST)->geometry();
  EXPECT_LT(frame->y() + line + 1, sizes.top());
  EXPECT_LT(sizes.bottom(), frame->geometry().bottom() - 1);
}

using ModeSwitchTest = DialogTest;

TEST_F(ModeSwitchTest, JoinModeEmptiesTheSourceAndKeepsTheDestinationAndStatus) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  ChooseDestination(folder.path().string());
  dialog.m_strStatus = "3Files created";
  dialog.UpdateData(false);

  Click(IDC_MODE_JOIN);
  EXPECT_EQ(dialog.m_bSplitMode, 0);
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_JOIN), BST_CHECKED);
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_SPLIT), BST_UNCHECKED);
  EXPECT_FALSE(IsEnabled(IDC_SPLIT));
  EXPECT_TRUE(IsEnabled(IDC_JOIN));
  EXPECT_FALSE(IsEnabled(IDC_SIZE_LIST));
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), folder.path().string());
  EXPECT_EQ(TextOf(IDC_STATUS), "3Files created");
  EXPECT_EQ(dialog.m_strSourceName, "a.bin");

  Click(IDC_MODE_SPLIT);
  EXPECT_EQ(dialog.m_bSplitMode, 1);
  EXPECT_TRUE(IsEnabled(IDC_SPLIT));
  EXPECT_FALSE(IsEnabled(IDC_JOIN));
  EXPECT_TRUE(IsEnabled(IDC_SIZE_LIST));
}

TEST_F(ModeSwitchTest, ClickingTheModeInForceStillEmptiesTheSource) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  ChooseDestination(folder.path().string());
  Click(IDC_MODE_SPLIT);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(dialog.m_strSourcePath, "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), folder.path().string());
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_SPLIT), BST_CHECKED);
}

class KeyboardTest : public DialogTest {
protected:
  QWidget *Focused() const { return WidgetOf(dialog)->focusWidget(); }
  // The widget that holds the focus for a control: a field's own editor, or the control.
  QWidget *FocusOf(unsigned id) const {
    QWidget *control = Control(id);
    return control->focusProxy() ? control->focusProxy() : control;
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(Focused(), &press);
    QApplication::sendEvent(Focused(), &release);
  }
};

TEST_F(KeyboardTest, TabFollowsTheTemplateAndStopsOnceAtTheCheckedMode) {
  ASSERT_EQ(Focused(), FocusOf(IDC_SPLIT));
  // The disabled Join button is passed over.
  for (unsigned id : {IDC_EXIT, IDC_BROWSE_SOURCE, IDC_SOURCE_PATH, IDC_BROWSE_DEST}) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), FocusOf(id)) << id;
  }
  Press(Qt::Key_Space);
  EXPECT_EQ(modal.folderRequests.size(), 1u);
  for (unsigned id : {IDC_DEST_FOLDER, IDC_MODE_SPLIT, IDC_SIZE_LIST, IDC_SPLIT}) {
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), FocusOf(id)) << id;
  }
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), FocusOf(IDC_MODE_SPLIT));
}

TEST_F(KeyboardTest, ArrowsSwitchTheModeAsAClickDoes) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  FocusOf(IDC_MODE_SPLIT)->setFocus();

  Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), FocusOf(IDC_MODE_JOIN));
  EXPECT_EQ(CheckOf(dialog, IDC_MODE_SPLIT), BST_UNCHECKED);
  EXPECT_EQ(dialog.m_bSplitMode, 0);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_FALSE(IsEnabled(IDC_SIZE_LIST));

  // Join, enabled now, is the next stop; the way back stops at the checked "Join File".
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), FocusOf(IDC_JOIN));
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  Press(Qt::Key_Up);
  EXPECT_EQ(Focused(), FocusOf(IDC_MODE_SPLIT));
  EXPECT_EQ(dialog.m_bSplitMode, 1);

  // Enter on a radio button presses the default button, Exit.
  Press(Qt::Key_Return);
  EXPECT_FALSE(WidgetOf(dialog)->isVisible());
}

using OperationTest = DialogTest;

TEST_F(OperationTest, SplitsAndJoinsThroughTheDialogsButtons) {
  const auto source = RandomBytes(2 * kPiece + 123, 7);
  WriteFile(folder / "report.doc", source);
  std::filesystem::create_directory(folder.path() / "pieces");
  std::filesystem::create_directory(folder.path() / "joined");

  ChooseSource(folder / "report.doc");
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), folder / "report.doc");
  EXPECT_EQ(dialog.m_strSourceName, "report.doc");
  ChooseDestination(folder / "pieces");
  Click(IDC_SPLIT);

  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/1_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/2_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/3_report.doc"), 123u);
  EXPECT_EQ(TextOf(IDC_STATUS), "3Files created");
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(dialog.m_progress.GetPos(), dialog.m_progress.m_nRangeHigh);
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "Splitted successfully");
  EXPECT_EQ(modal.boxes[0].caption, "Splitter");
  EXPECT_EQ(modal.boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(modal.boxes[0].owner, dialog.m_hWnd);

  Click(IDC_MODE_JOIN);
  ChooseSource(folder / "pieces/1_report.doc");
  ChooseDestination(folder / "joined");
  Click(IDC_JOIN);

  EXPECT_EQ(ReadFile(folder / "joined/report.doc"), source);
  EXPECT_EQ(TextOf(IDC_STATUS), "3files joined");
  EXPECT_EQ(dialog.m_progress.m_nRangeHigh, 3);
  EXPECT_EQ(dialog.m_progress.GetPos(), 3) << "the bar ends full";
  ASSERT_EQ(modal.boxes.size(), 2u);
  EXPECT_EQ(modal.boxes[1].text, "Joined successfully");
  EXPECT_EQ(modal.boxes[1].caption, "Splitter");
}

TEST_F(OperationTest, AStoppedCheckShowsOnlyTheEnginesNotice) {
  Click(IDC_SPLIT);
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "Please select a file.");
  EXPECT_EQ(TextOf(IDC_STATUS), "Status");
}

TEST_F(OperationTest, ASourceThatCannotBeOpenedLeadsBackToTheSourceField) {
  WriteFile(folder / "gone.bin", RandomBytes(10, 1));
  ChooseSource(folder / "gone.bin");
  ChooseDestination(folder.path().string());
  std::filesystem::remove(folder / "gone.bin");
  Click(IDC_SPLIT);

  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "没有找到 " + folder / "gone.bin" + "。");
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_EQ(modal.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_EQ(modal.boxes[0].owner, dialog.m_hWnd);
  auto *field = dynamic_cast<qt::QtEditPeer *>(dialog.m_editSource.m_hWnd)->LineEdit();
  EXPECT_EQ(WidgetOf(dialog)->focusWidget(), field);
  EXPECT_EQ(field->selectedText().toStdString(), folder / "gone.bin");
}

TEST_F(OperationTest, AFailureWhileCopyingBecomesTheFailureReport) {
  WriteFile(folder / "big.bin", RandomBytes(2 * kPiece, 3));
  ChooseSource(folder / "big.bin");
  ChooseDestination(folder.path().string());
  rlimit previous{};
  ::getrlimit(RLIMIT_FSIZE, &previous);
  const rlimit small{kPiece / 2, previous.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &small);
  Click(IDC_SPLIT);
  ::setrlimit(RLIMIT_FSIZE, &previous);

  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].type, MB_ICONSTOP);
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_NE(modal.boxes[0].text.find(folder / "1_big.bin"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
      << "neither a partial piece nor its temporary is left";
  // The program goes on: the next click runs again.
  Click(IDC_MODE_SPLIT);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
}

// A window whose one command fails as a copy does.
class FailingWindow : public CWnd {
public:
  explicit FailingWindow(std::string fileName) : m_fileName(std::move(fileName)) {}

protected:
  std::span<const CommandMapEntry> GetMessageMap() const override {
    static const CommandMapEntry map[] = {{7, BN_CLICKED, Handler(&FailingWindow::Fail)}};
    return map;
  }

private:
  void Fail() { throw FileException(FileCause::diskFull, 28, m_fileName); }
  std::string m_fileName;
};

TEST(FailureReportTest, CutsTheCauseTextToTheReportBufferAndNeverInsideACharacter) {
  ScriptedModalUi modal;
  auto reportOf = [&modal](const std::string &fileName) {
    FailingWindow window(fileName);
    window.SubclassWindow(new qt::QtWindowPeer(nullptr, 0, 0, {}));
    window.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));
    return modal.boxes.back();
  };
  // A name that puts a two-byte character at bytes 510 and 511 of the report.
  const std::string marked = FileException(FileCause::diskFull, 28, "\x01").what();
  std::string name(510 - marked.find('\x01'), 'a');
  while (name.size() < 700)
    name += "é";
  const MessageBoxRequest cut = reportOf(name);
  EXPECT_EQ(cut.text.size(), 510u);
  EXPECT_EQ(cut.text, FileException(FileCause::diskFull, 28, name)
                          .GetErrorMessage(FileException::kFailureReportBufferSize));
  EXPECT_EQ(cut.type, MB_ICONSTOP);
  EXPECT_EQ(cut.caption, "quorvel-splitter");
  // The buffer holds 511 bytes and the terminating zero.
  EXPECT_EQ(reportOf(std::string(700, 'a')).text.size(), 511u);
}

// Sends itself the failing command while it handles another message, then hands that message
// on to the platform.
class NestedFailureWindow : public FailingWindow {
public:
  using FailingWindow::FailingWindow;

protected:
  void OnSysCommand(UINT id, LPARAM lParam) override {
    SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));
    CWnd::OnSysCommand(id, lParam);
  }
};

class RecordingPeer : public qt::QtWindowPeer {
public:
  RecordingPeer() : QtWindowPeer(nullptr, 0, 0, {}) {}
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    handedOn.push_back(message);
    return QtWindowPeer::DefWindowProc(message, wParam, lParam);
  }
  std::vector<UINT> handedOn;
};

TEST(FailureReportTest, AFailureInsideAHandlerLeavesTheOuterMessageToHandOn) {
  ScriptedModalUi modal;
  NestedFailureWindow window("/tmp/nested.bin");
  auto *peer = new RecordingPeer;
  window.SubclassWindow(peer);
  window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);

  EXPECT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(peer->handedOn, std::vector<UINT>{WM_SYSCOMMAND});
}

using RepaintTest = DialogTest;

std::uint64_t PaintedPixels(const SplitterDialog &dialog) {
  std::uint64_t total = dynamic_cast<qt::QtWindowPeer *>(dialog.m_hWnd)->PaintedPixels();
  for (QObject *child : WidgetOf(dialog)->children())
    if (auto *control = dynamic_cast<qt::QtWindowPeer *>(child))
      total += control->PaintedPixels();
  return total;
}

int Area(const QWidget *widget) { return widget->width() * widget->height(); }

TEST_F(RepaintTest, EachPieceRepaintsTheBarAndTheStatusLineOnly) {
  WriteFile(folder / "five.bin", RandomBytes(4 * kPiece + 10, 5));
  ChooseSource(folder / "five.bin");
  ChooseDestination(folder.path().string());
  dialog.CWnd::UpdateWindow();
  const std::uint64_t before = PaintedPixels(dialog);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SPLIT, BN_CLICKED));

  const std::uint64_t perPiece = (PaintedPixels(dialog) - before) / 5;
  EXPECT_EQ(perPiece,
            static_cast<std::uint64_t>(Area(Control(IDC_PROGRESS)) + Area(Control(IDC_STATUS))));
  EXPECT_LT(perPiece, static_cast<std::uint64_t>(Area(WidgetOf(dialog))) / 4);
}

using SystemMenuTest = DialogTest;

struct ShownWindow {
  QString title;
  Qt::WindowFlags flags;
};

// Runs `action`, which opens a modal window, and closes that window as soon as it shows.
ShownWindow ModalWindowOpenedBy(const std::function<void()> &action) {
  ShownWindow shown;
  QTimer::singleShot(0, [&shown] {
    QWidget *window = QApplication::activeModalWidget();
    shown = {window->windowTitle(), window->windowFlags()};
    dynamic_cast<qt::QtWindowPeer *>(window)->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  });
  action();
  return shown;
}

TEST_F(SystemMenuTest, TheAboutCommandAndItsMaskedValuesOpenTheAboutBox) {
  for (WPARAM command : {WPARAM{IDM_ABOUTBOX}, WPARAM{0x001F}}) {
    const ShownWindow about =
        ModalWindowOpenedBy([this, command] { dialog.SendMessage(WM_SYSCOMMAND, command); });
    EXPECT_EQ(about.title, "About Quorvel File Splitter") << command;
    ExpectDialogFrame(about.flags);
  }
  EXPECT_TRUE(WidgetOf(dialog)->isVisible());
}

TEST_F(SystemMenuTest, OtherCommandsTakeTheUsualHandling) {
  dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_FALSE(WidgetOf(dialog)->isVisible());
}

TEST_F(SystemMenuTest, HelpSaysThereIsNoneAndHowToUseTheProgram) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED));
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  const CString &text = modal.boxes[0].text;
  EXPECT_NE(text.find("No help"), std::string::npos);
  for (const char *button : {"\"Split\"", "\"Join\"", "\"Join File\""})
    EXPECT_NE(text.find(button), std::string::npos) << button;
}

using MinimisedTest = DialogTest;

TEST_F(MinimisedTest, DrawsTheIconCentredWithTheRounding) {
  QWidget *window = WidgetOf(dialog);
  window->setFixedSize(36, 37);
  window->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(dialog.IsIconic());
  dialog.Invalidate();
  dialog.CWnd::UpdateWindow();

  // (36 - 32 + 1) / 2 = 2 and (37 - 32 + 1) / 2 = 3.
  QImage expected(36, 37, QImage::Format_RGB32);
  expected.fill(QColor(160, 180, 220));
  QPainter(&expected).drawImage(2, 3, qt::IconImage(dialog.m_hIcon));
  EXPECT_EQ(dynamic_cast<qt::QtWindowPeer *>(dialog.m_hWnd)->Surface()->image, expected);
  EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)), dialog.m_hIcon);
}

} // namespace
} // namespace quorvel::test
