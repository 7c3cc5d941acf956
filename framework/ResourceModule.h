#pragma once

#include "framework/Types.h"

#include <cstddef>
#include <span>

namespace quorvel::fw {

// A double bitmap is the bitmap of that ID drawn at two pixels per pixel, for screens that show
// two pixels per point.
enum class ResourceType { Bitmap, DoubleBitmap, Icon };

// Where resources are loaded from: bitmaps as BMP files, icon groups as ICO files. The program
// installs its own at start-up.
class ResourceModule {
public:
  virtual ~ResourceModule() = default;
  // Empty when the module has no such resource.
  virtual std::span<const std::byte> Find(ResourceType type, UINT id) const = 0;
};

// A module without resources until one is set.
const ResourceModule &AfxGetResourceHandle();
// Null: back to none. The module must outlive its use.
void AfxSetResourceHandle(const ResourceModule *module);

} // namespace quorvel::fw
