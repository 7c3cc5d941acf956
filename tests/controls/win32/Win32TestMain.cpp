#include "framework/Platform.h"
#include "res/Resources.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  // The common controls and the message window, as the program has them.
  quorvel::fw::CString problem;
  if (!quorvel::fw::platform::OpenDisplay(argc, argv, "quorvel_controls_tests", problem)) {
    std::fprintf(stderr, "No display: %s\n", problem.c_str());
    return 1;
  }
  quorvel::fw::AfxSetResourceHandle(&quorvel::res::ProgramResources());
  const int result = RUN_ALL_TESTS();
  quorvel::fw::platform::CloseDisplay();
  return result;
}
