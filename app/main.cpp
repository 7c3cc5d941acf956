// quorvel-splitter: the product's dialog.

#include "app/SplitterApp.h"

// The application object, which the framework's entry point runs.
quorvel::SplitterApp theApp;
