// quorvel-splitter: the dialog of Quorvel File Splitter.

#include "app/SplitterApp.h"

#include <csignal>

quorvel::SplitterApp theApp;

int main(int argc, char **argv) {
  // A write past the file-size limit must fail and be reported, not end the process.
  std::signal(SIGXFSZ, SIG_IGN);
  return quorvel::fw::AfxWinMain(argc, argv);
}
