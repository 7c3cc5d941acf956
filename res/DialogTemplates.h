#pragma once

#include "framework/DialogTemplate.h"

#include <string_view>

// The program's dialog resources and the IDs of their controls.
namespace quorvel::res {

inline constexpr unsigned IDD_ABOUTBOX = 100;
inline constexpr unsigned IDD_SPLITTER_DIALOG = 102;
inline constexpr unsigned IDD_SIZE_DIALOG = 103;
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
// The size list's last entry, which asks for a size of the user's own.
inline constexpr std::string_view kOtherSizeEntry = "Other\u2026";
// The custom-size dialog's number and unit.
inline constexpr unsigned IDC_SIZE_NUMBER = 1040;
inline constexpr unsigned IDC_SIZE_UNIT = 1041;
// The about box's OK button.
inline constexpr unsigned IDC_ABOUT_OK = 1;
// The about box's item in the main dialog's window menu.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// The program's dialogs.
const fw::DialogTemplate &SplitterDialogTemplate();
const fw::DialogTemplate &AboutBoxTemplate();
const fw::DialogTemplate &SizeDialogTemplate();

} // namespace quorvel::res
