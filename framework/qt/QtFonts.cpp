#include "framework/qt/QtWindowPeer.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <cstring>
#include <string_view>

namespace quorvel::fw {
namespace qt {
namespace {

// Chinese Windows faces and the installed fonts that cover the same characters.
constexpr std::array<std::string_view, 6> kChineseFaces{"宋体",    "SimSun", "新宋体",
                                                        "NSimSun", "黑体",   "SimHei"};
constexpr std::array<std::string_view, 4> kChineseSubstitutes{
    "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Serif CJK SC", "AR PL UMing CN"};

QString InstalledFamily(const QString &face) {
  if (face.isEmpty() || QFontDatabase::hasFamily(face))
    return face;
  const bool chinese = std::find(kChineseFaces.begin(), kChineseFaces.end(), face.toStdString()) !=
                       kChineseFaces.end();
  if (!chinese)
    return face;
  for (std::string_view substitute : kChineseSubstitutes) {
    const QString family = ToQString(substitute);
    if (QFontDatabase::hasFamily(family))
      return family;
  }
  return face;
}

} // namespace

QFont FontFromLogFont(const LOGFONT &logFont) {
  const auto faceLength = static_cast<qsizetype>(strnlen(logFont.lfFaceName, LF_FACESIZE));
  QFont font;
  const QString family = InstalledFamily(QString::fromUtf8(logFont.lfFaceName, faceLength));
  if (!family.isEmpty())
    font.setFamily(family);
  if ((logFont.lfPitchAndFamily & 0xF0) == FF_SWISS)
    font.setStyleHint(QFont::SansSerif);
  // Both the character height (negative) and the cell height are near enough to Qt's pixel size.
  font.setPixelSize(logFont.lfHeight == 0 ? 12 : std::abs(logFont.lfHeight));
  if (logFont.lfWeight > 0)
    font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(logFont.lfWeight, 100, 900)));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);
  font.setStrikeOut(logFont.lfStrikeOut != 0);
  if (logFont.lfQuality == NONANTIALIASED_QUALITY)
    font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

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

} // namespace qt

void SetFaceName(LOGFONT &logFont, std::string_view face) {
  const std::size_t length = Utf8PrefixLength(face, LF_FACESIZE - 1);
  std::copy_n(face.data(), length, logFont.lfFaceName);
  logFont.lfFaceName[length] = '\0';
}

const QFont &detail::DefaultFont() {
  static const QFont font = [] {
    QFont systemFont = QGuiApplication::font();
    systemFont.setPixelSize(12);
    return systemFont;
  }();
  return font;
}

} // namespace quorvel::fw

COLORREF GetSysColor(int index) { return quorvel::fw::qt::SystemColour(index); }
