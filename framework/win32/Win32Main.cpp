// The entry point of the program's GUI executable: the application object's own main, with the
// command line in UTF-8 whatever the system's code page.
#include "framework/WinApp.h"
#include "framework/win32/Win32Utf16.h"

#include <shellapi.h>

#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace quorvel::fw;
  int count = 0;
  LPWSTR *wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<CString> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(win32::Utf8FromUtf16(wide[i]));
  ::LocalFree(wide);
  std::vector<char *> argv;
  for (CString &argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);
  return AfxWinMain(count, argv.data());
}
