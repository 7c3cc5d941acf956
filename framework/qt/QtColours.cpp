#include "framework/qt/QtColours.h"

#include "framework/WinApp.h"
#include "framework/qt/QtGdiData.h"

#include <QGuiApplication>

namespace quorvel::fw::qt {

COLORREF SystemColour(int index) {
  // Without an application there is no palette; the values are the classic desktop's.
  const bool hasPalette = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
  switch (index) {
  case COLOR_BTNFACE:
    return hasPalette ? detail::ToColorRef(QGuiApplication::palette().color(QPalette::Button).rgb())
                      : RGB(240, 240, 240);
  case COLOR_GRAYTEXT:
    // The grey of the Windows desktop, in which a disabled caption stays readable on a light face.
    return RGB(109, 109, 109);
  default:
    return RGB(0, 0, 0);
  }
}

QColor DialogBackground() {
  if (const auto colours = AfxGetDialogColours())
    return QColor(detail::ToRgb(colours->background));
  return QGuiApplication::palette().color(QPalette::Window);
}

QColor DialogText() {
  if (const auto colours = AfxGetDialogColours())
    return QColor(detail::ToRgb(colours->text));
  return QGuiApplication::palette().color(QPalette::WindowText);
}

QPalette DialogPalette(QPalette palette) {
  const QColor grey(detail::ToRgb(SystemColour(COLOR_GRAYTEXT)));
  palette.setColor(QPalette::Window, DialogBackground());
  palette.setColor(QPalette::WindowText, DialogText());
  palette.setColor(QPalette::Text, DialogText());
  palette.setColor(QPalette::Disabled, QPalette::WindowText, grey);
  palette.setColor(QPalette::Disabled, QPalette::Text, grey);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
  return palette;
}

} // namespace quorvel::fw::qt

COLORREF GetSysColor(int index) { return quorvel::fw::qt::SystemColour(index); }
