// quorvel_test_helper: the other program of the Windows tests, as share modes conflict only among
// Windows processes under Wine.
//   hold shared|exclusive PATH   holds PATH open (share read and write, or share nothing), says
//                                 "1" (or "0" when it cannot), and lets go at the end of its input
//   join FIRST_PIECE DEST        joins, saying "r" at the first piece's report and then waiting on
//                                 its input, where the test ends it
#include "engine/JoinFiles.h"
#include "engine/win32/WideText.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace quorvel;

class WaitingHost final : public EngineHost {
public:
  void DoWaitCursor(int) override {}
  void UpdateData(bool) override {}
  void UpdateWindow() override {
    std::fputc('r', stdout);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
  }
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  int GetSizeSelection() override { return kNoSelection; }
  void ShowMessageBox(std::string_view, std::string_view, unsigned) override {}
  void AfxMessageBox(std::string_view, unsigned) override {}
  void FocusSourceField() override {}
};

} // namespace

int wmain(int argc, wchar_t **argv) {
  std::vector<std::string> arguments;
  for (int index = 1; index < argc; ++index)
    arguments.push_back(win32::ToUtf8(argv[index]));
  if (arguments.size() == 3 && arguments[0] == "hold") {
    File file;
    const bool held = file.Open(arguments[2], arguments[1] == "shared" ? File::kReadShared
                                                                       : File::kReadExclusive);
    std::fputc(held ? '1' : '0', stdout);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
  }
  if (arguments.size() == 3 && arguments[0] == "join") {
    WaitingHost host;
    host.m_strSourcePath = arguments[1];
    host.m_strDestFolder = arguments[2];
    return JoinFiles(host);
  }
  return 2;
}
