// quorvel-splitter: the dialog of Quorvel File Splitter.

#include "app/SplitterApp.h"

quorvel::SplitterApp theApp;

#ifndef _WIN32
// On Windows the framework's wWinMain is the program's entry.
int main(int argc, char **argv) { return quorvel::fw::AfxWinMain(argc, argv); }
#endif
