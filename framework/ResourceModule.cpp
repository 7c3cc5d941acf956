#include "framework/ResourceModule.h"

namespace quorvel::fw {
namespace {

class ProgramResources final : public ResourceModule {
public:
  std::span<const std::byte> Find(res::ResourceType type, UINT id) const override {
    return res::FindResourceBytes(type, id);
  }
};

const ProgramResources kProgramResources;
const ResourceModule *g_resourceModule = &kProgramResources;

} // namespace

const ResourceModule &AfxGetResourceHandle() { return *g_resourceModule; }

void AfxSetResourceHandle(const ResourceModule *module) {
  g_resourceModule = module ? module : &kProgramResources;
}

} // namespace quorvel::fw
