// quorvel-splitter: the dialog of Quorvel File Splitter.

#include "app/SplitterApp.h"

// The application object, which the framework's entry point runs.
quorvel::SplitterApp theApp;
