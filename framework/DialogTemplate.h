#pragma once

#include "framework/Types.h"

#include <cstdint>
#include <span>
#include <string_view>

// A dialog resource: sizes and positions in dialog units, styles as the platform defines them,
// controls in template order (which is also the tab and stacking order).
namespace quorvel::fw {

struct DialogItemTemplate {
  UINT id;
  std::string_view className;
  // An icon static names its icon resource as "#<id>".
  std::string_view text;
  std::uint32_t style;
  std::uint32_t exStyle;
  short x, y, cx, cy;
};

// One message the framework sends a control before the dialog is initialised, as the
// platform's dialog initialisation data does: CB_ADDSTRING with a text for a combo box.
struct DialogInitEntry {
  UINT controlId;
  UINT message;
  std::string_view text;
};

struct DialogTemplate {
  UINT id;
  std::uint32_t style;
  std::uint32_t exStyle;
  short cx, cy;
  std::string_view caption;
  unsigned short pointSize;
  std::string_view faceName;
  std::span<const DialogItemTemplate> items;
  std::span<const DialogInitEntry> initData;
};

} // namespace quorvel::fw
