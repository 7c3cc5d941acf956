// The entry point of the program's GUI executable: the application object's own main.
#include "framework/WinApp.h"

int main(int argc, char **argv) { return quorvel::fw::AfxWinMain(argc, argv); }
