#include "framework/Gdi.h"
#include "framework/ResourceModule.h"
#include "framework/WinApp.h"

#include <cstring>

namespace quorvel::fw {
namespace {

// An icon file: a directory of images, each a bitmap the system makes an icon from.
#pragma pack(push, 1)
struct IconDirectory {
  WORD reserved;
  WORD type;
  WORD count;
};
struct IconDirectoryEntry {
  BYTE width;
  BYTE height;
  BYTE colours;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  DWORD offset;
};
#pragma pack(pop)

} // namespace

HICON CWinApp::LoadIcon(UINT resourceId) const {
  const auto file = AfxGetResourceHandle().Find(ResourceType::Icon, resourceId);
  IconDirectory directory;
  if (file.size() < sizeof(directory))
    return nullptr;
  std::memcpy(&directory, file.data(), sizeof(directory));
  const int width = ::GetSystemMetrics(SM_CXICON);
  const int height = ::GetSystemMetrics(SM_CYICON);
  // The image of the size an icon is drawn at, or else the largest.
  const IconDirectoryEntry *best = nullptr;
  IconDirectoryEntry entries[16];
  const std::size_t count = std::min<std::size_t>(directory.count, 16);
  if (file.size() < sizeof(directory) + count * sizeof(IconDirectoryEntry))
    return nullptr;
  std::memcpy(entries, file.data() + sizeof(directory), count * sizeof(IconDirectoryEntry));
  auto size = [](BYTE side) { return side ? side : 256; };
  for (const IconDirectoryEntry &entry : std::span{entries, count}) {
    if (entry.offset > file.size() || entry.bytes > file.size() - entry.offset)
      continue;
    if (!best || (size(entry.width) == width && size(entry.height) == height) ||
        (size(best->width) != width && size(entry.width) > size(best->width)))
      best = &entry;
  }
  if (!best)
    return nullptr;
  auto *image = reinterpret_cast<PBYTE>(const_cast<std::byte *>(file.data() + best->offset));
  return ::CreateIconFromResourceEx(image, best->bytes, TRUE, 0x00030000, width, height,
                                    LR_DEFAULTCOLOR);
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
  if (!m_hDC || !icon)
    return FALSE;
  return ::DrawIconEx(m_hDC, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

} // namespace quorvel::fw
