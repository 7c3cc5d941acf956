#include "app/FolderPicker.h"
#include "framework/FileDialog.h"
#include "tests/app/AppTestSupport.h"

namespace quorvel::test {
namespace {

using namespace fw;

TEST(FilterStringTest, ReadsDescriptionsAndPatterns) {
  EXPECT_EQ(ParseFilterString("All Files(*.*)|*.*||"),
            (std::vector<FileFilter>{{"All Files(*.*)", {"*.*"}}}));
  EXPECT_EQ(ParseFilterString("Pieces|1_*.*;*.part|Text|*.txt||"),
            (std::vector<FileFilter>{{"Pieces", {"1_*.*", "*.part"}}, {"Text", {"*.txt"}}}));
  EXPECT_TRUE(ParseFilterString("").empty());
}

TEST(FilterStringTest, MatchesNamesByTheWindowsFileDialogRules) {
  for (const char *name : {"report.doc", "README", ".profile", "a.b.c"})
    EXPECT_TRUE(MatchesFilterPattern(name, "*.*")) << name;
  for (const char *name : {"1_report.doc", "1_README", "1_X.DOC"})
    EXPECT_TRUE(MatchesFilterPattern(name, "1_*.*")) << name;
  for (const char *name : {"2_report.doc", "11_report.doc", "report_1_.doc", "1report"})
    EXPECT_FALSE(MatchesFilterPattern(name, "1_*.*")) << name;
  EXPECT_TRUE(MatchesFilterPattern("NOTES.TXT", "*.txt"));
  EXPECT_FALSE(MatchesFilterPattern("notes.txt.bak", "*.txt"));
  EXPECT_TRUE(MatchesFilterPattern("a1", "a?"));
}

TEST(FilterStringTest, AStarInTheNameIsMatchedLikeAnyOtherCharacter) {
  for (const char *name : {"*draft.txt", "*", "a*b"})
    EXPECT_TRUE(MatchesFilterPattern(name, "*.*")) << name;
  EXPECT_TRUE(MatchesFilterPattern("1_*notes.txt", "1_*.*"));
  EXPECT_FALSE(MatchesFilterPattern("*.doc", "*.txt"));
}

using SourceChoiceTest = DialogTest;

TEST_F(SourceChoiceTest, AsksForAnExistingFileWithTheFilterOfTheMode) {
  Click(res::IDC_BROWSE_SOURCE);
  Click(res::IDC_MODE_JOIN);
  Click(res::IDC_BROWSE_SOURCE);
  ASSERT_EQ(modal.fileRequests.size(), 2u);
  EXPECT_EQ(modal.fileRequests[0].filters, (std::vector<FileFilter>{{"All Files(*.*)", {"*.*"}}}));
  EXPECT_EQ(modal.fileRequests[1].filters,
            (std::vector<FileFilter>{{"Splitted File(1_*.*)", {"1_*.*"}}}));
  EXPECT_EQ(modal.fileRequests[0].flags,
            OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_EQ(modal.fileRequests[0].owner, dialog.m_hWnd);
}

TEST_F(SourceChoiceTest, ACancelChangesNothing) {
  ChooseSource("/tmp/quorvel/a.bin");
  Click(res::IDC_BROWSE_SOURCE);
  EXPECT_EQ(dialog.m_strSourcePath, "/tmp/quorvel/a.bin");
  EXPECT_EQ(dialog.m_strSourceName, "a.bin");
  EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), "/tmp/quorvel/a.bin");
}

using DropTest = DialogTest;

TEST_F(DropTest, ADroppedFileBecomesTheSourceAndADroppedFolderTheDestination) {
  WriteFile(folder / "report.doc", RandomBytes(10, 1));
  DropPaths(Control(res::IDC_SOURCE_PATH), {folder / "report.doc"});
  EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), folder / "report.doc");
  EXPECT_EQ(dialog.m_strSourceName, "report.doc");

  DropPaths(Control(res::IDC_PROGRESS), {folder.Text()});
  EXPECT_EQ(TextOf(res::IDC_DEST_FOLDER), folder.Text());
  EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), folder / "report.doc");
  EXPECT_TRUE(modal.fileRequests.empty());
  EXPECT_TRUE(modal.folderRequests.empty());
}

TEST_F(DropTest, InJoinModeOnlyAFirstPieceIsTakenAndTheStatusLineSaysWhyNot) {
  for (const char *name : {"report.doc", "1_report.doc", "2_report.doc"})
    WriteFile(folder / name, RandomBytes(10, 1));
  Click(res::IDC_MODE_JOIN);
  struct Refused {
    std::vector<CString> names;
    const char *why;
  };
  for (const auto &[names, why] : {
           Refused{{"report.doc"}, "Only 1_ pieces"},
           Refused{{"2_report.doc"}, "Only 1_ pieces"},
           Refused{{"1_gone.doc"}, "Not found"},
           Refused{{"1_report.doc", "2_report.doc"}, "Only one file"},
       }) {
    std::vector<CString> paths;
    for (const CString &name : names)
      paths.push_back(folder / name);
    dialog.m_strStatus = "Status";
    dialog.UpdateData(false);
    DropPaths(Control(res::IDC_SOURCE_PATH), paths);
    EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), "") << names[0];
    EXPECT_EQ(TextOf(res::IDC_STATUS), why) << names[0];
  }
  DropPaths(dialog.m_hWnd, {folder / "1_report.doc"});
  EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), folder / "1_report.doc");
  EXPECT_EQ(dialog.m_strSourceName, "1_report.doc");
}

using DestinationChoiceTest = DialogTest;

TEST_F(DestinationChoiceTest, OpensTheBrowserTitledAtItsDefaultsAndStoresThePathAsGiven) {
  ChooseDestination("/");
  ASSERT_EQ(modal.folderRequests.size(), 1u);
  EXPECT_EQ(modal.folderRequests[0].title, "Select a folder");
  EXPECT_EQ(modal.folderRequests[0].root, "");
  EXPECT_EQ(modal.folderRequests[0].initialSelection, "");
  EXPECT_EQ(modal.folderRequests[0].owner, dialog.m_hWnd);
  EXPECT_EQ(dialog.m_strDestFolder, "/");
  EXPECT_EQ(TextOf(res::IDC_DEST_FOLDER), "/");
}

TEST_F(DestinationChoiceTest, ACancelOrAnItemWithoutAPathChangesNothing) {
  ChooseDestination("/srv/pieces");
  Click(res::IDC_BROWSE_DEST);
  modal.folderAnswers.push_back(FolderChoice{});
  Click(res::IDC_BROWSE_DEST);
  EXPECT_EQ(dialog.m_strDestFolder, "/srv/pieces");
  EXPECT_EQ(TextOf(res::IDC_DEST_FOLDER), "/srv/pieces");
  // Each time the browser starts at the folder last chosen.
  EXPECT_EQ(modal.folderRequests.back().initialSelection, "/srv/pieces");
}

TEST(FolderPickerTest, TrimsBlanksAndOneSeparatorFromTheInitialFolder) {
  ScriptedModalUi modal;
  auto initialSeen = [&modal](const CString &initial) {
    FolderPicker picker;
    picker.m_strInitial = initial;
    picker.Browse(nullptr);
    return modal.folderRequests.back().initialSelection;
  };
  EXPECT_EQ(initialSeen("/home/user/pieces/  \t"), "/home/user/pieces");
  EXPECT_EQ(initialSeen("/home/user/pieces//"), "/home/user/pieces/");
  EXPECT_EQ(initialSeen("C:\\pieces\\"), "C:\\pieces");
  EXPECT_EQ(initialSeen("/"), "/");
  EXPECT_EQ(modal.folderRequests.back().owner, nullptr);
}

TEST(FolderPickerTest, ReturnsOneOnlyForAFolderOfTheFileSystem) {
  ScriptedModalUi modal;
  FolderPicker picker;
  EXPECT_EQ(picker.Browse(nullptr), 0);
  modal.folderAnswers.push_back(FolderChoice{});
  EXPECT_EQ(picker.Browse(nullptr), 0);
  EXPECT_EQ(picker.m_strPath, "");
  modal.folderAnswers.push_back(FolderChoice{"/srv"});
  EXPECT_EQ(picker.Browse(nullptr), 1);
  EXPECT_EQ(picker.m_strPath, "/srv");
}

TEST(FolderPickerTest, AMissingRootShowsNoBrowser) {
  TempFolder folder;
  FolderPicker picker;
  picker.m_strRoot = folder / "missing";
  EXPECT_EQ(picker.Browse(nullptr), 0);
}

} // namespace
} // namespace quorvel::test
