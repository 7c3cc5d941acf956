#include "app/SplitterDialog.h"
#include "engine/SizePresets.h"
#include "framework/Mutex.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"
#include "res/Look.h"
#include "res/Resources.h"
#include "tests/app/AppTestSupport.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <iterator>
#include <set>
#include <stdexcept>
#include <thread>

namespace quorvel::test {
namespace {

using namespace fw;

using namespace res;

constexpr std::size_t kPiece = 1'400'000;

TEST(ApplicationTest, StartsGuardedWithItsMainDialogInTheDialogColours) {
  SplitterDialog &dialog = ApplicationDialog();
  EXPECT_TRUE(IsShown(dialog.m_hWnd));
  CString title;
  dialog.GetWindowText(title);
  EXPECT_EQ(title, "Quorvel File Splitter");
  ExpectDialogFrame(dialog.m_hWnd);
  dialog.Invalidate();
  dialog.CWnd::UpdateWindow();
  CRect client;
  dialog.GetClientRect(&client);
  EXPECT_EQ(PixelAt(dialog.m_hWnd, 1, client.Height() - 2), ColourRef(kDialogColour));

  CreateMutex(nullptr, TRUE, "quorvel-splitter");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(AfxGetApp()->m_pszAppName, "quorvel-splitter");
}

using StartupTest = DialogTest;

TEST_F(StartupTest, OpensInSplitModeWithEmptyFieldsAndAFullBar) {
  EXPECT_EQ(dialog.m_bSplitMode, 1);
  EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_CHECKED);
  EXPECT_EQ(CheckOf(IDC_MODE_JOIN), BST_UNCHECKED);
  EXPECT_TRUE(IsEnabled(IDC_SPLIT));
  EXPECT_FALSE(IsEnabled(IDC_JOIN));
  EXPECT_TRUE(IsEnabled(IDC_SIZE_LIST));
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), "");
  EXPECT_EQ(TextOf(IDC_STATUS), "Status");

  // The floppy sizes first, then today's media and the entry that asks for any other.
  const std::vector<CString> sizes{"1.4M",    "1.2M",     "1.0M",  "0.8M",  "10M mail",
                                   "700M CD", "4.6G DVD", "FAT32", "Other…"};
  EXPECT_EQ(ComboItems(Control(IDC_SIZE_LIST)), sizes);
  EXPECT_EQ(dialog.m_comboSize.GetCurSel(), 0);
  for (int index = 0; index < static_cast<int>(sizes.size()); ++index) {
    EXPECT_TRUE(ShowsComboItemWhole(Control(IDC_SIZE_LIST), index, false)) << sizes[index];
    EXPECT_TRUE(ShowsComboItemWhole(Control(IDC_SIZE_LIST), index, true)) << sizes[index];
  }

  EXPECT_EQ(dialog.m_progress.m_nRangeLow, 1);
  EXPECT_EQ(dialog.m_progress.m_nRangeHigh, 500);
  EXPECT_EQ(dialog.m_progress.GetPos(), 500);
  EXPECT_EQ(dialog.m_progress.m_crBack, ColourRef(kDialogColour));
}

TEST_F(StartupTest, OffersTheAboutItemShowsTheIconAndSkinsTheButtons) {
  // After the platform's own items, if it has any.
  const std::vector<MenuItem> items = SystemMenuItems(dialog.m_hWnd);
  ASSERT_GE(items.size(), 2u);
  EXPECT_TRUE(items[items.size() - 2].separator);
  EXPECT_EQ(items.back().id, 16u);
  EXPECT_EQ(items.back().text, "About(&A)...");
  EXPECT_TRUE(HasWindowIcon(dialog.m_hWnd));
  EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)), dialog.m_hIcon);
  for (const ImageButton *button : {&dialog.m_btnSplit, &dialog.m_btnJoin, &dialog.m_btnExit,
                                    &dialog.m_btnBrowseSource, &dialog.m_btnBrowseDest})
    EXPECT_EQ(button->GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

using ModeSwitchTest = DialogTest;

TEST_F(ModeSwitchTest, JoinModeEmptiesTheSourceAndKeepsTheDestinationAndStatus) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  ChooseDestination(folder.Text());
  dialog.m_strStatus = "3Files created";
  dialog.UpdateData(false);

  Click(IDC_MODE_JOIN);
  EXPECT_EQ(dialog.m_bSplitMode, 0);
  EXPECT_EQ(CheckOf(IDC_MODE_JOIN), BST_CHECKED);
  EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_UNCHECKED);
  EXPECT_FALSE(IsEnabled(IDC_SPLIT));
  EXPECT_TRUE(IsEnabled(IDC_JOIN));
  EXPECT_FALSE(IsEnabled(IDC_SIZE_LIST));
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), folder.Text());
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
  ChooseDestination(folder.Text());
  Click(IDC_MODE_SPLIT);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(dialog.m_strSourcePath, "");
  EXPECT_EQ(TextOf(IDC_DEST_FOLDER), folder.Text());
  EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_CHECKED);
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

  EXPECT_EQ(std::filesystem::file_size(folder.path() / "pieces" / "1_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "pieces" / "2_report.doc"), kPiece);
  EXPECT_EQ(std::filesystem::file_size(folder.path() / "pieces" / "3_report.doc"), 123u);
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
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(dialog.m_progress.m_nRangeHigh, 3);
  EXPECT_EQ(dialog.m_progress.GetPos(), 3) << "the bar ends full";
  ASSERT_EQ(modal.boxes.size(), 2u);
  EXPECT_EQ(modal.boxes[1].text, "Joined successfully");
  EXPECT_EQ(modal.boxes[1].caption, "Splitter");
}

class SizeListTest : public DialogTest {
protected:
  // A split and a join through the dialog's buttons with the size chosen, which must cut
  // `source` into at least two pieces; returns the first piece's size.
  std::uintmax_t SplitAndJoinBack(const std::vector<char> &source) {
    std::filesystem::create_directories(folder.path() / "pieces");
    std::filesystem::create_directories(folder.path() / "joined");
    WriteFile(folder / "whole.bin", source);
    ChooseSource(folder / "whole.bin");
    ChooseDestination(folder / "pieces");
    Click(IDC_SPLIT);
    Click(IDC_MODE_JOIN);
    ChooseSource(folder / "pieces/1_whole.bin");
    ChooseDestination(folder / "joined");
    Click(IDC_JOIN);
    Click(IDC_MODE_SPLIT);
    EXPECT_EQ(ReadFile(folder / "joined/whole.bin"), source);
    const std::uintmax_t firstPiece =
        std::filesystem::file_size(folder.path() / "pieces" / "1_whole.bin");
    std::filesystem::remove_all(folder.path() / "pieces");
    std::filesystem::remove_all(folder.path() / "joined");
    return firstPiece;
  }
};

TEST_F(SizeListTest, EachEntryIsTheSizeItSaysAndSplitsAndJoins) {
  const HWND list = Control(IDC_SIZE_LIST);
  for (std::size_t index = 0; index < kSizePresets.size(); ++index) {
    ChooseComboItem(list, static_cast<int>(index));
    EXPECT_EQ(dialog.GetPieceSize(), kSizePresets[index].bytes) << kSizePresets[index].label;
  }
  dialog.m_comboSize.SetCurSel(-1);
  EXPECT_EQ(dialog.GetPieceSize(), 1'400'000u) << "no selection";
  ChooseComboItem(list, 4);
  EXPECT_EQ(SplitAndJoinBack(RandomBytes(2 * 10'000'000 + 7, 5)), 10'000'000u);
  ChooseComboItem(list, 3);
  EXPECT_EQ(SplitAndJoinBack(RandomBytes(800'000 + 7, 6)), 800'000u);
  ASSERT_EQ(modal.boxes.size(), 4u);
  EXPECT_EQ(modal.boxes[3].text, "Joined successfully");
}

// Answers the size dialog that the list's last entry opens: each number in turn with the unit,
// OK after each; a number that is no size leaves the dialog open for the next. Cancels after
// the last when `cancel` says so.
void AnswerSizeDialog(std::vector<CString> numbers, const CString &unit, bool cancel = false) {
  WhenModalWindowShows([numbers, unit, cancel](HWND sizeDialog) {
    const HWND units = platform::Child(sizeDialog, IDC_SIZE_UNIT);
    const std::vector<CString> offered = ComboItems(units);
    ChooseComboItem(
        units, static_cast<int>(std::find(offered.begin(), offered.end(), unit) - offered.begin()));
    for (const CString &number : numbers) {
      platform::SetText(platform::Child(sizeDialog, IDC_SIZE_NUMBER), number);
      Click(platform::Child(sizeDialog, IDOK));
    }
    if (cancel)
      Click(platform::Child(sizeDialog, IDCANCEL));
  });
}

TEST_F(SizeListTest, TheLastEntryAsksForAnySizeAndAddsItForTheSession) {
  const HWND list = Control(IDC_SIZE_LIST);
  const int other = static_cast<int>(kSizePresets.size());
  ChooseComboItem(list, 1);
  AnswerSizeDialog({"2,5", "2.5"}, "M");
  ChooseComboItem(list, other);
  ASSERT_EQ(modal.boxes.size(), 1u) << "the first is no size";
  EXPECT_NE(modal.boxes[0].text.find("KiB, MiB and GiB"), std::string::npos) << modal.boxes[0].text;
  EXPECT_EQ(modal.boxes[0].caption, "Splitter");
  std::vector<CString> items = ComboItems(list);
  ASSERT_EQ(items.size(), kSizePresets.size() + 2);
  EXPECT_EQ(items[static_cast<std::size_t>(other)], "2.5M");
  EXPECT_EQ(items.back(), "Other…");
  EXPECT_EQ(dialog.m_comboSize.GetCurSel(), other);
  EXPECT_EQ(SplitAndJoinBack(RandomBytes(6'000'000, 7)), 2'500'000u);

  // A size the list has is chosen there; a cancel goes back to the size chosen before.
  AnswerSizeDialog({"1200000"}, "bytes");
  ChooseComboItem(list, other + 1);
  EXPECT_EQ(dialog.m_comboSize.GetCurSel(), 1);
  AnswerSizeDialog({}, "KiB", true);
  ChooseComboItem(list, other + 1);
  EXPECT_EQ(dialog.m_comboSize.GetCurSel(), 1);
  AnswerSizeDialog({"12345678901234567890"}, "bytes");
  ChooseComboItem(list, other + 1);
  items = ComboItems(list);
  EXPECT_EQ(items.size(), kSizePresets.size() + 3);
  EXPECT_EQ(dialog.GetPieceSize(), 12'345'678'901'234'567'890u);
  EXPECT_TRUE(ShowsComboItemWhole(list, other + 1, true)) << "the list widens for it";
}

TEST_F(OperationTest, ASetThatIsNotWholeIsRefusedNamingThePiece) {
  WriteFile(folder / "report.doc", RandomBytes(2 * kPiece + 123, 8));
  std::filesystem::create_directory(folder.path() / "pieces");
  ChooseSource(folder / "report.doc");
  ChooseDestination(folder / "pieces");
  Click(IDC_SPLIT);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "pieces" / "report.doc.sha256"));

  const std::vector<char> before{'o', 'l', 'd'};
  WriteFile(folder / "pieces/2_report.doc", {'c', 'u', 't'});
  WriteFile(folder / "report.doc", before);
  Click(IDC_MODE_JOIN);
  ChooseSource(folder / "pieces/1_report.doc");
  ChooseDestination(folder.Text());
  Click(IDC_JOIN);
  ASSERT_EQ(modal.boxes.size(), 2u) << "no success box";
  EXPECT_EQ(modal.boxes[1].text, "The piece " + folder / "pieces/2_report.doc" +
                                     " differs from the set's checksum list: it is damaged or "
                                     "from another file.");
  EXPECT_EQ(modal.boxes[1].caption, "quorvel-splitter");
  EXPECT_EQ(modal.boxes[1].type, MB_ICONSTOP);
  EXPECT_EQ(ReadFile(folder / "report.doc"), before);
}

TEST_F(OperationTest, AStoppedCheckShowsOnlyTheEnginesNoticeUnderTheWaitCursor) {
  std::vector<bool> waiting;
  modal.onBox = [&] { waiting.push_back(ShowsWaitCursor(Control(IDC_SOURCE_PATH))); };
  Click(IDC_SPLIT);
  Click(IDC_MODE_JOIN);
  Click(IDC_JOIN);
  ASSERT_EQ(modal.boxes.size(), 2u);
  EXPECT_EQ(modal.boxes[0].text, "Please select a file.");
  EXPECT_EQ(modal.boxes[0].caption, "Splitter");
  EXPECT_EQ(modal.boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(TextOf(IDC_STATUS), "Status");
  EXPECT_EQ(waiting, (std::vector<bool>{true, true}));
  EXPECT_FALSE(ShowsWaitCursor(Control(IDC_SOURCE_PATH)));
}

TEST_F(OperationTest, ASourceThatCannotBeOpenedLeadsBackToTheSourceField) {
  WriteFile(folder / "gone.bin", RandomBytes(10, 1));
  ChooseSource(folder / "gone.bin");
  ChooseDestination(folder.Text());
  std::filesystem::remove(folder.path() / "gone.bin");
  Click(IDC_SPLIT);

  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "没有找到 " + folder / "gone.bin" + "。");
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_EQ(modal.boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_EQ(modal.boxes[0].owner, dialog.m_hWnd);
  EXPECT_EQ(FocusedControl(dialog.m_hWnd), Control(IDC_SOURCE_PATH));
  EXPECT_EQ(SelectedText(Control(IDC_SOURCE_PATH)), folder / "gone.bin");

  // The failure fills the whole buffer of 1024 bytes it is shown from.
  dialog.m_strSourcePath = folder / std::string(1100, 'd');
  dialog.UpdateData(FALSE);
  Click(IDC_SPLIT);
  ASSERT_EQ(modal.boxes.size(), 2u);
  EXPECT_EQ(modal.boxes[1].text.size(), 1023u);
}

TEST_F(OperationTest, ASourceShorterThanAPieceIsNotSplitAndLeavesTheSourceField) {
  WriteFile(folder / "short.bin", RandomBytes(10, 1));
  ChooseSource(folder / "short.bin");
  ChooseDestination(folder.Text());
  Click(IDC_SPLIT);
  ASSERT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(modal.boxes[0].text, "File length is 10 byte, No need to split.");
  EXPECT_EQ(modal.boxes[0].caption, "Splitter");
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_EQ(dialog.m_strSourceName, "");
}

using SlowOperationTest = DialogFixture<SlowRunDialog>;

TEST_F(SlowOperationTest, ASourceCutShortWhileItIsSplitStopsTheRunWithTheFailureReport) {
  WriteFile(folder / "whole.bin", RandomBytes(3 * 800'000 + 10, 3));
  std::filesystem::create_directory(folder.path() / "pieces");
  ChooseSource(folder / "whole.bin");
  ChooseDestination(folder / "pieces");
  dialog.m_comboSize.SetCurSel(3);
  dialog.onFirstPiece = [&] { std::filesystem::resize_file(folder.path() / "whole.bin", 800'000); };
  Click(IDC_SPLIT);
  ASSERT_EQ(modal.boxes.size(), 1u) << "no success box";
  EXPECT_EQ(modal.boxes[0].text, "试图越过其尾端对 " + folder / "whole.bin" + " 进行读写。");
  EXPECT_EQ(modal.boxes[0].caption, "quorvel-splitter");
  EXPECT_EQ(modal.boxes[0].type, MB_ICONSTOP);
  EXPECT_TRUE(TextOf(IDC_STATUS).ends_with("Files created")) << "the last report stays";
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), folder / "whole.bin");
  EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "pieces"));
}

// A window whose one command fails with the given text.
class FailingWindow : public CWnd {
public:
  explicit FailingWindow(std::string text) : m_text(std::move(text)) {}

protected:
  std::span<const CommandMapEntry> GetMessageMap() const override {
    static const CommandMapEntry map[] = {{7, BN_CLICKED, Handler(&FailingWindow::Fail)}};
    return map;
  }

private:
  void Fail() { throw std::runtime_error(m_text); }
  std::string m_text;
};

TEST(FailureReportTest, CutsTheTextToTheReportBufferAndNeverInsideACharacter) {
  ScriptedModalUi modal;
  auto reportOf = [&modal](const std::string &text) {
    FailingWindow window(text);
    window.SubclassWindow(MakeBareWindow(nullptr));
    window.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED));
    return modal.boxes.back();
  };
  // A two-byte character at bytes 510 and 511 of the report.
  std::string text(510, 'a');
  while (text.size() < 700)
    text += "é";
  const MessageBoxRequest cut = reportOf(text);
  EXPECT_EQ(cut.text, text.substr(0, 510));
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

TEST(FailureReportTest, AFailureInsideAHandlerLeavesTheOuterMessageToHandOn) {
  ScriptedModalUi modal;
  std::vector<UINT> handedOn;
  NestedFailureWindow window("nested.bin");
  window.SubclassWindow(MakeBareWindow(&handedOn));
  window.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);

  EXPECT_EQ(modal.boxes.size(), 1u);
  EXPECT_EQ(handedOn, std::vector<UINT>{WM_SYSCOMMAND});
}

using SystemMenuTest = DialogTest;

TEST_F(SystemMenuTest, TheAboutCommandAndItsMaskedValuesOpenTheAboutBoxOverTheDialog) {
  for (WPARAM command : {WPARAM{IDM_ABOUTBOX}, WPARAM{0x001F}}) {
    CString title;
    HWND owner = nullptr;
    WhenModalWindowShows([&](HWND about) {
      title = platform::Text(about);
      owner = OwnerOf(about);
      ExpectDialogFrame(about);
      platform::CloseModalWindow();
    });
    dialog.SendMessage(WM_SYSCOMMAND, command);
    EXPECT_EQ(title, "About Quorvel File Splitter") << command;
    EXPECT_EQ(owner, dialog.m_hWnd);
  }
  EXPECT_TRUE(IsShown(dialog.m_hWnd));
  EXPECT_TRUE(dialog.IsWindowEnabled()) << "the owner takes input again";
}

TEST_F(SystemMenuTest, OtherCommandsTakeTheUsualHandling) {
  dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
  // Windows posts the close to the dialog as its Cancel command.
  HandlePostedMessages();
  EXPECT_FALSE(IsShown(dialog.m_hWnd));
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

enum class CancelWay { exitButton, escapeKey, closeRequest, sessionEnd };

std::string NameOf(const testing::TestParamInfo<CancelWay> &way) {
  constexpr std::array kNames{"ExitButton", "EscapeKey", "CloseRequest", "SessionEnd"};
  return kNames[static_cast<std::size_t>(way.param)];
}

constexpr std::size_t kSmallPiece = 800'000;

class CancelTest : public DialogFixture<SlowRunDialog>,
                   public testing::WithParamInterface<CancelWay> {
protected:
  void SetUp() override {
    DialogFixture::SetUp();
    for (const char *name : {"pieces", "set", "out"})
      std::filesystem::create_directory(folder.path() / name);
    WriteFile(folder / "whole.bin", source);
  }

  // Starts a run with `button` and, once its first piece shows, checks the dialog meanwhile and
  // cancels it the way under test. Returns the seconds from the cancel until the run has ended.
  double CancelAfterFirstPiece(unsigned button) {
    std::chrono::steady_clock::time_point cancelled;
    bool seen = false;
    const std::set<std::filesystem::path> before = Entries();
    dialog.onFirstPiece = [&] {
      seen = true;
      for (unsigned id : {IDC_SPLIT, IDC_JOIN, IDC_BROWSE_SOURCE, IDC_BROWSE_DEST, IDC_MODE_SPLIT,
                          IDC_MODE_JOIN, IDC_SIZE_LIST})
        EXPECT_FALSE(IsEnabled(id)) << id;
      EXPECT_TRUE(IsEnabled(IDC_EXIT));
      EXPECT_EQ(TextOf(IDC_EXIT), "Cancel");
      EXPECT_TRUE(ShowsWaitCursor(Control(IDC_SOURCE_PATH)));
      EXPECT_FALSE(ShowsWaitCursor(Control(IDC_EXIT)));
      cancelled = std::chrono::steady_clock::now();
      switch (GetParam()) {
      case CancelWay::exitButton:
        Click(IDC_EXIT);
        break;
      case CancelWay::escapeKey:
        // Windows takes the key later, as a posted message.
        return PressEscape(dialog.m_hWnd);
      case CancelWay::closeRequest:
        dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        break;
      case CancelWay::sessionEnd:
        dialog.SendMessage(WM_ENDSESSION, TRUE, 0);
        // The system may end the program from here on; what the files hold the test checks after.
        EXPECT_EQ(Entries(), before) << "the folders are not back yet";
        return;
      }
      EXPECT_FALSE(IsEnabled(IDC_EXIT)) << "the stop is seen at once";
      EXPECT_EQ(TextOf(IDC_STATUS), "Cancelling...");
    };
    AnswerProbe probe;
    Click(button);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - cancelled;
    probe.Stop();
    dialog.onFirstPiece = {};
    // Should the run have ended first, what it posted goes now.
    HandlePostedMessages();
    EXPECT_TRUE(seen) << "the run showed no piece";
    EXPECT_GT(probe.Answers(), 0);
    // A quarter second even on a busy machine; the dialog bench holds it to 0.1 s.
    EXPECT_LT(probe.Longest().count(), 250.0) << "the window did not answer meanwhile";
    return took.count();
  }

  // Stopped without a box, the bar where the run left it, the controls back as the mode has
  // them, and the program open unless it was closed.
  void ExpectCancelled(int splitMode) {
    EXPECT_EQ(TextOf(IDC_STATUS), "Cancelled");
    EXPECT_TRUE(modal.boxes.empty());
    EXPECT_EQ(TextOf(IDC_EXIT), "Exit");
    EXPECT_GE(dialog.m_progress.GetPos(), 1);
    EXPECT_LT(dialog.m_progress.GetPos(), dialog.m_progress.m_nRangeHigh);
    EXPECT_EQ(dialog.m_progress.m_nRangeHigh, 13);
    for (unsigned id : {IDC_BROWSE_SOURCE, IDC_BROWSE_DEST, IDC_MODE_SPLIT, IDC_MODE_JOIN})
      EXPECT_TRUE(IsEnabled(id)) << id;
    EXPECT_EQ(IsEnabled(IDC_SPLIT), splitMode == 1);
    EXPECT_EQ(IsEnabled(IDC_SIZE_LIST), splitMode == 1);
    EXPECT_EQ(IsEnabled(IDC_JOIN), splitMode == 0);
    EXPECT_FALSE(ShowsWaitCursor(Control(IDC_SOURCE_PATH)));
    EXPECT_EQ(IsShown(dialog.m_hWnd), GetParam() != CancelWay::closeRequest);
  }

  // Every name below the test's folder, hidden ones too.
  std::set<std::filesystem::path> Entries() const {
    return {std::filesystem::recursive_directory_iterator(folder.path()),
            std::filesystem::recursive_directory_iterator()};
  }

  std::vector<std::filesystem::path> FilesIn(const char *name) const {
    return {std::filesystem::directory_iterator(folder.path() / name),
            std::filesystem::directory_iterator()};
  }

  // Twelve pieces of 0.8M and a shorter one.
  const std::vector<char> source = RandomBytes(12 * kSmallPiece + 10, 3);
};

TEST_P(CancelTest, ALongSplitStopsAtOnceAndLeavesTheFolderAsItWas) {
  const std::vector<char> older = RandomBytes(10, 4);
  for (const char *name : {"pieces/1_whole.bin", "pieces/2_whole.bin", "pieces/whole.bin.sha256"})
    WriteFile(folder / name, older);
  ChooseSource(folder / "whole.bin");
  ChooseDestination(folder / "pieces");
  dialog.m_comboSize.SetCurSel(3);
  EXPECT_LT(CancelAfterFirstPiece(IDC_SPLIT), 0.5);
  ExpectCancelled(1);
  EXPECT_EQ(FilesIn("pieces").size(), 3u) << "the older set, and nothing beside it";
  EXPECT_EQ(ReadFile(folder / "pieces/1_whole.bin"), older);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), folder / "whole.bin") << "ready to run again";
}

TEST_P(CancelTest, ALongJoinStopsAtOnceAndLeavesTheOutputAsItWas) {
  for (std::size_t piece = 0; piece < 13; ++piece) {
    const auto from = source.begin() + static_cast<std::ptrdiff_t>(piece * kSmallPiece);
    const auto to = piece == 12 ? source.end() : from + static_cast<std::ptrdiff_t>(kSmallPiece);
    WriteFile(folder / ("set/" + std::to_string(piece + 1) + "_whole.bin"), {from, to});
  }
  WriteFile(folder / "out/whole.bin", {'o', 'l', 'd'});
  Click(IDC_MODE_JOIN);
  ChooseSource(folder / "set/1_whole.bin");
  ChooseDestination(folder / "out");
  EXPECT_LT(CancelAfterFirstPiece(IDC_JOIN), 0.5);
  ExpectCancelled(0);
  EXPECT_EQ(FilesIn("out").size(), 1u);
  EXPECT_EQ(ReadFile(folder / "out/whole.bin"), (std::vector<char>{'o', 'l', 'd'}));
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), folder / "set/1_whole.bin") << "ready to run again";
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CancelTest,
                         testing::Values(CancelWay::exitButton, CancelWay::escapeKey,
                                         CancelWay::closeRequest, CancelWay::sessionEnd),
                         NameOf);

TEST(WaitCursorTest, NestedRequestsKeepTheCursorUntilTheLastEnds) {
  CWinApp &application = *AfxGetApp();
  const HWND window = ApplicationDialog().m_hWnd;
  application.DoWaitCursor(1);
  application.DoWaitCursor(1);
  application.DoWaitCursor(-1);
  EXPECT_TRUE(ShowsWaitCursor(window));
  application.DoWaitCursor(-1);
  EXPECT_FALSE(ShowsWaitCursor(window));
  application.DoWaitCursor(-1);
  EXPECT_FALSE(ShowsWaitCursor(window));
}

} // namespace
} // namespace quorvel::test
