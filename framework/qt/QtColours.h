#pragma once

#include "framework/Types.h"

#include <QColor>
#include <QPalette>

// The system's colours as GetSysColor gives them, and the dialog colours in Qt's terms.
namespace quorvel::fw::qt {

COLORREF SystemColour(int index);
// The colours SetDialogBkColor gave every dialog, or the platform's own.
QColor DialogBackground();
QColor DialogText();
// The dialog colours over `palette`, with the platform's grey for disabled text.
QPalette DialogPalette(QPalette palette);

} // namespace quorvel::fw::qt
