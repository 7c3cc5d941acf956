// The dialog's behaviour that rests on Qt itself: key events, painted surfaces and their pixel
// counts, Qt fonts, and a file-size rlimit and SIGTERM, which only the Linux build has.
#include "app/SplitterDialog.h"
#include "framework/qt/QtControlPeers.h"
#include "framework/qt/QtDialogPeer.h"
#include "framework/qt/QtIcons.h"
#include "res/Look.h"
#include "res/Resources.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <array>
#include <csignal>
#include <iterator>

#include <sys/resource.h>

namespace quorvel::test {
namespace {

using namespace fw;
using namespace res;
using qt::PeerOf;
using qt::PeerOfWidget;
using qt::WidgetOf;

constexpr std::size_t kPiece = 1'400'000;
const QColor kDialogBackground(kDialogColour.red, kDialogColour.green, kDialogColour.blue);

TEST(QtApplicationTest, ATerminateSignalFirstRemovesTemporaries) {
  struct sigaction onTerminate {};
  ::sigaction(SIGTERM, nullptr, &onTerminate);
  EXPECT_NE(onTerminate.sa_handler, SIG_DFL);
}

using QtStartupTest = DialogTest;

TEST_F(QtStartupTest, LaysTheTemplateOutInDialogUnitsOfItsFont) {
  const CSize units = qt::DialogBaseUnits(WidgetOf(dialog.m_hWnd)->font());
  auto pixels = [](int dialogUnits, int base, int per) {
    return (dialogUnits * base + per / 2) / per;
  };
  EXPECT_EQ(WidgetOf(dialog.m_hWnd)->width(), pixels(161, units.cx, 4));
  EXPECT_EQ(WidgetOf(dialog.m_hWnd)->height(), pixels(116, units.cy, 8));
  const QRect exit = WidgetOf(Control(IDC_EXIT))->geometry();
  EXPECT_EQ(exit, QRect(pixels(108, units.cx, 4), pixels(86, units.cy, 8), pixels(43, units.cx, 4),
                        pixels(14, units.cy, 8)));
}

TEST_F(QtStartupTest, OffersTheDesktopTheIconFromSixteenToTwoHundredAndFiftySixPixels) {
  const QList<QSize> sizes = WidgetOf(dialog.m_hWnd)->windowIcon().availableSizes();
  for (int size : {16, 32, 48, 256})
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
}

TEST_F(QtStartupTest, WritesInTheFaceOrAnInstalledStandInForIt) {
  const std::string family = QFontInfo(WidgetOf(dialog.m_hWnd)->font()).family().toStdString();
  EXPECT_TRUE(family == kFaceName ||
              std::find(kFaceStandIns.begin(), kFaceStandIns.end(), family) != kFaceStandIns.end())
      << family;
}

// Run by CTest again with QT_SCALE_FACTOR=2; passed over at one pixel per point.
using QtScaleTest = DialogTest;

TEST_F(QtScaleTest, PaintsTheSkinsAndTheBarWithEveryPixelOfTheScreen) {
  const qreal scale = WidgetOf(dialog.m_hWnd)->devicePixelRatioF();
  if (scale < 2)
    GTEST_SKIP() << "at one pixel per point";
  dialog.CWnd::UpdateWindow();
  for (unsigned id : {IDC_BROWSE_SOURCE, IDC_SPLIT, IDC_PROGRESS})
    EXPECT_EQ(PeerOf(Control(id))->Surface()->image.size(), WidgetOf(Control(id))->size() * scale)
        << id;
  // The shades down the face of the "...": a skin drawn for one pixel per point has half as many.
  const QImage &face = PeerOf(Control(IDC_BROWSE_SOURCE))->Surface()->image;
  QSet<QRgb> shades;
  for (int row = 0; row < face.height(); ++row)
    shades.insert(face.pixel(4, row));
  EXPECT_GT(shades.size(), 16) << shades.size();
}

QWidget *OptionsFrame(const SplitterDialog &dialog) {
  for (QObject *child : WidgetOf(dialog.m_hWnd)->children())
    if (qt::QtWindowPeer *control = PeerOfWidget(child);
        control && (control->Style() & BS_TYPEMASK) == BS_GROUPBOX)
      return &control->Widget();
  return nullptr;
}

TEST_F(QtStartupTest, TheOptionsFrameRunsThroughItsTitleAndStaysClearOfTheSizeList) {
  QWidget *frame = OptionsFrame(dialog);
  ASSERT_NE(frame, nullptr);
  const QImage pixels = frame->grab().toImage();
  // The first row of the frame's right part, beyond the title, that is not the background.
  const int column = frame->width() - 4;
  int line = 0;
  while (line < frame->height() && pixels.pixelColor(column, line) == kDialogBackground)
    ++line;
  const int titleHeight = QFontMetrics(frame->font()).height();
  EXPECT_GT(line, titleHeight / 4);
  EXPECT_LT(line, titleHeight * 3 / 4);
  const QWidget *list = WidgetOf(Control(IDC_SIZE_LIST));
  const QRect sizes(list->mapTo(WidgetOf(dialog.m_hWnd), QPoint(0, 0)), list->size());
  EXPECT_LT(frame->y() + line + 1, sizes.top());
  EXPECT_LT(sizes.bottom(), frame->geometry().bottom() - 1);
}

class QtKeyboardTest : public DialogTest {
protected:
  QWidget *Focused() const { return WidgetOf(dialog.m_hWnd)->focusWidget(); }
  QWidget *FocusOf(unsigned id) const { return WidgetOf(Control(id)); }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(Focused(), &press);
    QApplication::sendEvent(Focused(), &release);
  }
};

TEST_F(QtKeyboardTest, TabFollowsTheTemplateAndStopsOnceAtTheCheckedMode) {
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

TEST_F(QtKeyboardTest, ArrowsSwitchTheModeAsAClickDoes) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  FocusOf(IDC_MODE_SPLIT)->setFocus();

  Press(Qt::Key_Right);
  EXPECT_EQ(Focused(), FocusOf(IDC_MODE_JOIN));
  EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_UNCHECKED);
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
  EXPECT_FALSE(IsShown(dialog.m_hWnd));
}

using QtOperationTest = DialogTest;

TEST_F(QtOperationTest, AFailureWhileCopyingBecomesTheFailureReport) {
  WriteFile(folder / "big.bin", RandomBytes(2 * kPiece, 3));
  ChooseSource(folder / "big.bin");
  ChooseDestination(folder.Text());
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

int Area(HWND window) { return WidgetOf(window)->width() * WidgetOf(window)->height(); }

// Within the frame, which a new text leaves as it was.
int TextArea(HWND label) {
  const QRect contents = WidgetOf(label)->contentsRect();
  return contents.width() * contents.height();
}

using QtRepaintTest = DialogTest;

TEST_F(QtRepaintTest, EachPieceRepaintsTheBarAndTheStatusLineOnly) {
  WriteFile(folder / "five.bin", RandomBytes(4 * kPiece + 10, 5));
  ChooseSource(folder / "five.bin");
  ChooseDestination(folder.Text());
  // On screen, where Qt paints its own widgets.
  HandlePostedMessages();
  dialog.CWnd::UpdateWindow();
  const auto painted = [this] {
    return std::array{PeerOf(dialog.m_hWnd)->PaintedPixels(),
                      PeerOf(Control(IDC_PROGRESS))->PaintedPixels(),
                      PeerOf(Control(IDC_STATUS))->PaintedPixels()};
  };
  const auto before = painted();
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SPLIT, BN_CLICKED));
  const auto after = painted();

  // Besides the controls a run disables and enables again, the dialog shows the latest piece
  // each time it gets to it: one to five times the bar and the status line, never the dialog.
  EXPECT_EQ(after[0], before[0]);
  const std::uint64_t bar = after[1] - before[1];
  const std::uint64_t status = after[2] - before[2];
  const auto barArea = static_cast<std::uint64_t>(Area(Control(IDC_PROGRESS)));
  const auto statusArea = static_cast<std::uint64_t>(TextArea(Control(IDC_STATUS)));
  EXPECT_EQ(bar % barArea, 0u);
  EXPECT_GE(bar / barArea, 1u);
  EXPECT_LE(bar / barArea, 5u);
  EXPECT_EQ(status, bar / barArea * statusArea);
}

using QtMinimisedTest = DialogTest;

TEST_F(QtMinimisedTest, DrawsTheIconCentredWithTheRounding) {
  QWidget *window = WidgetOf(dialog.m_hWnd);
  window->setFixedSize(36, 37);
  window->setWindowState(Qt::WindowMinimized);
  ASSERT_TRUE(dialog.IsIconic());
  dialog.Invalidate();
  dialog.CWnd::UpdateWindow();

  // (36 - 32 + 1) / 2 = 2 and (37 - 32 + 1) / 2 = 3.
  QImage expected(36, 37, QImage::Format_RGB32);
  expected.fill(kDialogBackground);
  QPainter(&expected).drawImage(2, 3, qt::IconImage(dialog.m_hIcon));
  EXPECT_EQ(PeerOf(dialog.m_hWnd)->Surface()->image, expected);
}

} // namespace
} // namespace quorvel::test
