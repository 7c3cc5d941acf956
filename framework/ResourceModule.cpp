#include "framework/ResourceModule.h"

namespace quorvel::fw {
namespace {

class NoResources final : public ResourceModule {
public:
  std::span<const std::byte> Find(ResourceType, UINT) const override { return {}; }
};

const NoResources kNoResources;
const ResourceModule *g_resourceModule = &kNoResources;

} // namespace

const ResourceModule &AfxGetResourceHandle() { return *g_resourceModule; }

void AfxSetResourceHandle(const ResourceModule *module) {
  g_resourceModule = module ? module : &kNoResources;
}

} // namespace quorvel::fw
