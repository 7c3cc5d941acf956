#include "res/Resources.h"

#include <array>

extern const std::byte quorvel_browse_skin_130[];
extern const std::size_t quorvel_browse_skin_130_size;
extern const std::byte quorvel_button_skin_132[];
extern const std::size_t quorvel_button_skin_132_size;
extern const std::byte quorvel_browse_skin_130_2x[];
extern const std::size_t quorvel_browse_skin_130_2x_size;
extern const std::byte quorvel_button_skin_132_2x[];
extern const std::size_t quorvel_button_skin_132_2x_size;
extern const std::byte quorvel_app_icon_128[];
extern const std::size_t quorvel_app_icon_128_size;

namespace quorvel::res {
namespace {

using fw::ResourceType;

struct Entry {
  ResourceType type;
  unsigned id;
  const std::byte *bytes;
  const std::size_t *size;
};

const std::array kResources{
    Entry{ResourceType::Bitmap, IDB_BROWSE_SKIN, quorvel_browse_skin_130,
          &quorvel_browse_skin_130_size},
    Entry{ResourceType::Bitmap, IDB_BUTTON_SKIN, quorvel_button_skin_132,
          &quorvel_button_skin_132_size},
    Entry{ResourceType::DoubleBitmap, IDB_BROWSE_SKIN, quorvel_browse_skin_130_2x,
          &quorvel_browse_skin_130_2x_size},
    Entry{ResourceType::DoubleBitmap, IDB_BUTTON_SKIN, quorvel_button_skin_132_2x,
          &quorvel_button_skin_132_2x_size},
    Entry{ResourceType::Icon, IDR_MAINFRAME, quorvel_app_icon_128, &quorvel_app_icon_128_size},
};

class Program final : public fw::ResourceModule {
public:
  std::span<const std::byte> Find(ResourceType type, UINT id) const override {
    for (const Entry &entry : kResources)
      if (entry.type == type && entry.id == id)
        return {entry.bytes, *entry.size};
    return {};
  }
};

} // namespace

const fw::ResourceModule &ProgramResources() {
  static const Program resources;
  return resources;
}

} // namespace quorvel::res
