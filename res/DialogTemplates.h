#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The program's dialog resources: sizes and positions in dialog units, styles as the platform
// defines them, controls in template order (which is also the tab and stacking order).
namespace quorvel::res {

inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDD_SPLITTER_DIALOG = 102;
// A control without an ID.
inline constexpr unsigned IDC_STATIC = 0xFFFF;

// The main dialog's controls. Split and Exit carry the IDs of the OK and Cancel commands.
inline constexpr unsigned IDC_SPLIT = 1;
inline constexpr unsigned IDC_EXIT = 2;
inline constexpr unsigned IDC_BROWSE_SOURCE = 4;
inline constexpr unsigned IDC_BROWSE_DEST = 5;
inline constexpr unsigned IDC_JOIN = 1000;
inline constexpr unsigned IDC_SIZE_LIST = 1004;
inline constexpr unsigned IDC_WEB_ADDRESS = 1005;
inline constexpr unsigned IDC_SOURCE_PATH = 1012;
inline constexpr unsigned IDC_DEST_FOLDER = 1013;
inline constexpr unsigned IDC_MODE_SPLIT = 1017;
inline constexpr unsigned IDC_MODE_JOIN = 1018;
inline constexpr unsigned IDC_PROGRESS = 1034;
inline constexpr unsigned IDC_STATUS = 1035;
// The about box's OK button.
inline constexpr unsigned IDC_ABOUT_OK = 1;
// The about box's item in the main dialog's window menu.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

struct DialogItemTemplate {
  unsigned id;
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
  unsigned controlId;
  unsigned message;
  std::string_view text;
};

struct DialogTemplate {
  unsigned id;
  std::uint32_t style;
  std::uint32_t exStyle;
  short cx, cy;
  std::string_view caption;
  unsigned short pointSize;
  std::string_view faceName;
  std::span<const DialogItemTemplate> items;
  std::span<const DialogInitEntry> initData;
};

// Null when the program has no such dialog.
const DialogTemplate *FindDialogTemplate(unsigned id);

} // namespace quorvel::res
