#include "framework/qt/QtIcons.h"

#include "framework/ResourceModule.h"
#include "framework/WinApp.h"
#include "framework/qt/QtGdiData.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <charconv>
#include <map>
#include <memory>

namespace quorvel::fw {
namespace {

std::unique_ptr<detail::IconData> ReadIcon(std::span<const std::byte> bytes) {
  QByteArray data(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ICO");
  auto icon = std::make_unique<detail::IconData>();
  do {
    const QImage image = reader.read();
    if (image.isNull())
      break;
    icon->sizes.push_back(image);
    if (image.width() == qt::kIconSize || icon->image.isNull())
      icon->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  } while (reader.jumpToNextImage());
  if (icon->image.isNull())
    return nullptr;
  if (icon->image.width() != qt::kIconSize)
    icon->image = icon->image.scaled(qt::kIconSize, qt::kIconSize, Qt::IgnoreAspectRatio,
                                     Qt::SmoothTransformation);
  return icon;
}

// Shared for the program's life, as icons loaded from resources are.
HICON LoadIconResource(UINT resourceId) {
  static std::map<UINT, std::unique_ptr<detail::IconData>> loaded;
  const UINT id = resourceId & 0xFFFF;
  if (const auto found = loaded.find(id); found != loaded.end())
    return found->second.get();
  const auto bytes = AfxGetResourceHandle().Find(ResourceType::Icon, id);
  if (bytes.empty())
    return nullptr;
  auto icon = ReadIcon(bytes);
  if (!icon)
    return nullptr;
  return loaded.emplace(id, std::move(icon)).first->second.get();
}

} // namespace

HICON CWinApp::LoadIcon(UINT resourceId) const { return LoadIconResource(resourceId); }

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  if (!m_hDC || !icon)
    return FALSE;
  QPainter painter(&m_hDC->surface->image);
  painter.setClipRect(m_hDC->deviceClip);
  const QRect area = m_hDC->ToDevice(x, y, qt::kIconSize, qt::kIconSize);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(area, qt::IconImage(icon, area.width()));
  return TRUE;
}

namespace qt {

const QImage &IconImage(HICON icon, int pixels) {
  // The smallest drawing that is at least as large, else the largest.
  auto better = [pixels](const QImage &one, const QImage &other) {
    const bool fits = one.width() >= pixels;
    if (fits != (other.width() >= pixels))
      return fits;
    return fits ? one.width() < other.width() : one.width() > other.width();
  };
  const QImage *best = &icon->image;
  for (const QImage &image : icon->sizes)
    if (better(image, *best))
      best = &image;
  return *best;
}

QIcon IconSet(HICON icon) {
  QIcon set;
  for (const QImage &image : icon->sizes)
    set.addPixmap(QPixmap::fromImage(image));
  return set;
}

HICON LoadIconNamed(const CString &name) {
  unsigned id = 0;
  if (name.size() < 2 || name[0] != '#' ||
      std::from_chars(name.data() + 1, name.data() + name.size(), id).ec != std::errc{})
    return nullptr;
  return LoadIconResource(id);
}

} // namespace qt
} // namespace quorvel::fw

// The only metrics the program asks for are the size an icon is drawn at.
int GetSystemMetrics(int index) {
  switch (index) {
  case SM_CXICON:
  case SM_CYICON:
    return quorvel::fw::qt::kIconSize;
  default:
    return 0;
  }
}
