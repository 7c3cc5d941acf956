#pragma once

#include "framework/Gdi.h"

#include <QIcon>
#include <QImage>

#include <vector>

namespace quorvel::fw {

namespace detail {
struct IconData {
  // At the size an icon is drawn (SM_CXICON x SM_CYICON).
  QImage image;
  // Every size the resource holds, for window decorations. Images rather than pixmaps, which
  // must not outlive the application.
  std::vector<QImage> sizes;
};
} // namespace detail

namespace qt {

inline constexpr int kIconSize = 32;

// The drawing of the icon that suits `pixels` pixels best; its own size is kIconSize.
const QImage &IconImage(HICON icon, int pixels = kIconSize);
QIcon IconSet(HICON icon);
// "#128" names icon resource 128.
HICON LoadIconNamed(const CString &name);

} // namespace qt
} // namespace quorvel::fw
