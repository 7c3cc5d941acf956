#pragma once

#include "framework/Types.h"
#include "res/Resources.h"

#include <cstddef>
#include <span>

namespace quorvel::fw {

// Where resources are loaded from: the program's own unless another module is set.
class ResourceModule {
public:
  virtual ~ResourceModule() = default;
  // Empty when the module has no such resource.
  virtual std::span<const std::byte> Find(res::ResourceType type, UINT id) const = 0;
};

const ResourceModule &AfxGetResourceHandle();
// Null: back to the program's own resources. The module must outlive its use.
void AfxSetResourceHandle(const ResourceModule *module);

} // namespace quorvel::fw
