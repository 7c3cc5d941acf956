// quorvel-splitter: the dialog of Quorvel File Splitter.

#include "app/SplitterApp.h"

quorvel::SplitterApp theApp;

int main(int argc, char **argv) { return quorvel::fw::AfxWinMain(argc, argv); }
