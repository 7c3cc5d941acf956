#include "app/SplitterDialog.h"
#include "engine/FileException.h"
#include "framework/WinApp.h"
#include "framework/qt/QtControlPeers.h"
#include "framework/qt/QtDialogPeer.h"
#include "framework/qt/QtIcons.h"
#include "res/Resources.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <sys/resource.h>

namespace quorvel::test {
namespace {

using namespace fw;

constexpr int kSplit = 1, kBrowseSource = 4, kBrowseDest = 5, kJoin = 1000, kSizeList = 1004,
              kSourceField = 1012, kDestField = 1013, kModeSplit = 1017, kModeJoin = 1018,
              kProgress = 1034, kStatus = 1035;
constexpr std::size_t kPiece = 1'400'000;

int CheckOf(const SplitterDialog &dialog, int id) {
  return static_cast<int>(dialog.GetDlgItem(id)->m_hWnd->SendMessage(BM_GETCHECK));
}

using StartupTest = DialogTest;

TEST_F(StartupTest, OpensInSplitModeWithEmptyFieldsAndAFullBar) {
  EXPECT_EQ(dialog.m_bSplitMode, 1);
  EXPECT_EQ(CheckOf(dialog, kModeSplit), BST_CHECKED);
  EXPECT_EQ(CheckOf(dialog, kModeJoin), BST_UNCHECKED);
  EXPECT_TRUE(IsEnabled(kSplit));
  EXPECT_FALSE(IsEnabled(kJoin));
  EXPECT_TRUE(IsEnabled(kSizeList));
  EXPECT_EQ(TextOf(kSourceField), "");
  EXPECT_EQ(TextOf(kDestField), "");
  EXPECT_EQ(TextOf(kStatus), "Status");

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
  const auto &items = dialog.GetSystemMenu(FALSE)->Items();
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
  const QRect exit = Control(2)->geometry();
  EXPECT_EQ(exit, QRect(pixels(108, units.cx, 4), pixels(86, units.cy, 8), pixels(43, units.cx, 4),
                        pixels(14, units.cy, 8)));
  // Tab order is template order: Split, Exit, source "...", the source field, ...
  EXPECT_EQ(Control(kSplit)->nextInFocusChain(), Control(2));
  EXPECT_EQ(Control(2)->nextInFocusChain(), Control(kBrowseSource));
}

using ModeSwitchTest = DialogTest;

TEST_F(ModeSwitchTest, JoinModeEmptiesTheSourceAndKeepsTheDestinationAndStatus) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  ChooseDestination(folder.path().string());
  dialog.m_strStatus = "3Files created";
  dialog.UpdateData(false);

  Click(kModeJoin);
  EXPECT_EQ(dialog.m_bSplitMode, 0);
  EXPECT_EQ(CheckOf(dialog, kModeJoin), BST_CHECKED);
  EXPECT_EQ(CheckOf(dialog, kModeSplit), BST_UNCHECKED);
  EXPECT_FALSE(IsEnabled(kSplit));
  EXPECT_TRUE(IsEnabled(kJoin));
  EXPECT_FALSE(IsEnabled(kSizeList));
  EXPECT_EQ(TextOf(kSourceField), "");
  EXPECT_EQ(TextOf(kDestField), folder.path().string());
  EXPECT_EQ(TextOf(kStatus), "3Files created");
  EXPECT_EQ(dialog.m_strSourceName, "a.bin");

  Click(kModeSplit);
  EXPECT_EQ(dialog.m_bSplitMode, 1);
  EXPECT_TRUE(IsEnabled(kSplit));
  EXPECT_FALSE(IsEnabled(kJoin));
  EXPECT_TRUE(IsEnabled(kSizeList));
}

TEST_F(ModeSwitchTest, ClickingTheModeInForceStillEmptiesTheSource) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  ChooseDestination(folder.path().string());
  Click(kModeSplit);
  EXPECT_EQ(TextOf(kSourceField), "");
  EXPECT_EQ(dialog.m_strSourcePath, "");
  EXPECT_EQ(TextOf(kDestField), folder.path().string());
  EXPECT_EQ(CheckOf(dialog, kModeSplit), BST_CHECKED);
}

using OperationTest = DialogTest;

TEST_F(OperationTest, SplitsAndJoinsThroughTheDialogsButtons) {
  const auto source = RandomBytes(2 * kPiece + 123, 7);
  WriteFile(folder / "report.doc", source);
  std::filesystem::create_directory(folder.path() / "pieces");
  std::filesystem::create_directory(folder.path() / "joined");

  ChooseSource(folder / "report.doc");
  EXPECT_EQ(TextOf(kSourceField), folder / "report.doc");
  EXPECT_EQ(dialog.m_strSourceName, "report.doc");
  ChooseDestination(folder / "pieces");
  Click(kSplit);

  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/1_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/2_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder / "pieces/3_report.doc"), 123u);
  EXPECT_EQ(TextOf(kStatus), "3Files created");
  EXPECT_EQ(TextOf(kSourceField), "");
  EXPECT_EQ(dialog.m_progress.GetPos(), dialog.m_progress.m_nRangeHigh);
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "Splitted successfully");
  EXPECT_EQ(modal.boxes[0].caption, "Splitter");
  EXPECT_EQ(modal.boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(modal.boxes[0].owner, dialog.m_hWnd);

  Click(kModeJoin);
  ChooseSource(folder / "pieces/1_report.doc");
  ChooseDestination(folder / "joined");
  Click(kJoin);

  EXPECT_EQ(ReadFile(folder / "joined/report.doc"), source);
  EXPECT_EQ(TextOf(kStatus), "3files joined");
  EXPECT_EQ(dialog.m_progress.GetPos(), 499);
  ASSERT_EQ(modal.boxes.size(), 2u);
  EXPECT_EQ(modal.boxes[1].text, "Joined successfully");
  EXPECT_EQ(modal.boxes[1].caption, "Splitter");
}

TEST_F(OperationTest, AStoppedCheckShowsOnlyTheEnginesNotice) {
  Click(kSplit);
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "Please select a file.");
  EXPECT_EQ(TextOf(kStatus), "Status");
}

TEST_F(OperationTest, ASourceThatCannotBeOpenedLeadsBackToTheSourceField) {
  WriteFile(folder / "gone.bin", RandomBytes(10, 1));
  ChooseSource(folder / "gone.bin");
  ChooseDestination(folder.path().string());
  std::filesystem::remove(folder / "gone.bin");
  Click(kSplit);

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
  Click(kSplit);
  ::setrlimit(RLIMIT_FSIZE, &previous);

  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].type, MB_ICONSTOP);
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_NE(modal.boxes[0].text.find(folder / "1_big.bin"), std::string::npos);
  // The program goes on: the next click runs again.
  Click(kModeSplit);
  EXPECT_EQ(TextOf(kSourceField), "");
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

TEST(FailureReportTest, CutsTheCauseTextAtACharacterWithinTheReportBuffer) {
  ScriptedModalUi modal;
  std::string longName = "/tmp/";
  while (longName.size() < 700)
    longName += "文件";
  FailingWindow window(longName);
  window.SubclassWindow(new qt::QtWindowPeer(nullptr, 0, 0, {}));
  window.m_hWnd->SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));

  ASSERT_EQ(modal.boxes.size(), 1u);
  const FileException expected(FileCause::diskFull, 28, longName);
  EXPECT_EQ(modal.boxes[0].text, expected.GetErrorMessage(FileException::kFailureReportBufferSize));
  EXPECT_LE(modal.boxes[0].text.size(), 511u);
  EXPECT_EQ(modal.boxes[0].type, MB_ICONSTOP);
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
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
  window.m_hWnd->SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);

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
  dialog.m_hWnd->SendMessage(WM_COMMAND, MAKEWPARAM(kSplit, BN_CLICKED));

  const std::uint64_t perPiece = (PaintedPixels(dialog) - before) / 5;
  EXPECT_EQ(perPiece,
            static_cast<std::uint64_t>(Area(Control(kProgress)) + Area(Control(kStatus))));
  EXPECT_LT(perPiece, static_cast<std::uint64_t>(Area(WidgetOf(dialog))) / 4);
}

using SystemMenuTest = DialogTest;

// Runs `action`, which opens a modal window, and closes that window as soon as it shows.
QString TitleOfModalWindowOpenedBy(const std::function<void()> &action) {
  QString title;
  QTimer::singleShot(0, [&title] {
    QWidget *shown = QApplication::activeModalWidget();
    title = shown->windowTitle();
    dynamic_cast<WindowPeer *>(shown)->SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
  });
  action();
  return title;
}

TEST_F(SystemMenuTest, TheAboutCommandAndItsMaskedValuesOpenTheAboutBox) {
  for (WPARAM command : {WPARAM{0x0010}, WPARAM{0x001F}}) {
    const QString title = TitleOfModalWindowOpenedBy(
        [this, command] { dialog.m_hWnd->SendMessage(WM_SYSCOMMAND, command); });
    EXPECT_EQ(title, "About Quorvel File Splitter") << command;
  }
  EXPECT_TRUE(WidgetOf(dialog)->isVisible());
}

TEST_F(SystemMenuTest, OtherCommandsTakeTheUsualHandling) {
  dialog.m_hWnd->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_FALSE(WidgetOf(dialog)->isVisible());
}

TEST_F(SystemMenuTest, HelpSaysThereIsNoneAndHowToUseTheProgram) {
  dialog.m_hWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED));
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_NE(modal.boxes[0].text.find("No help"), std::string::npos);
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
  EXPECT_EQ(reinterpret_cast<HICON>(dialog.m_hWnd->SendMessage(WM_QUERYDRAGICON)), dialog.m_hIcon);
}

} // namespace
} // namespace quorvel::test
