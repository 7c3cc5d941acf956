#include "res/DialogTemplates.h"

#include "base/Product.h"
#include "engine/SizePresets.h"
#include "res/Look.h"

#include <array>

namespace quorvel::res {
namespace {

using fw::DialogInitEntry;
using fw::DialogItemTemplate;
using fw::DialogTemplate;

constexpr std::uint32_t kChild = WS_CHILD | WS_VISIBLE;

constexpr std::array kSplitterItems{
    DialogItemTemplate{IDC_SPLIT, "button", "Split", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 10, 86,
                       43, 14},
    DialogItemTemplate{IDC_EXIT, "button", "Exit", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 108,
                       86, 43, 14},
    DialogItemTemplate{IDC_BROWSE_SOURCE, "button", "...",
                       kChild | BS_PUSHBUTTON | WS_TABSTOP | BS_CENTER | BS_VCENTER, WS_EX_RIGHT,
                       138, 8, 21, 11},
    // Each label comes just before the field it names, as assistive technology reads them.
    DialogItemTemplate{IDC_STATIC, "static", "Choose a source file:", kChild | SS_LEFT | WS_GROUP,
                       0, 4, 0, 85, 7},
    DialogItemTemplate{IDC_SOURCE_PATH, "edit", "",
                       kChild | ES_READONLY | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 3, 8, 134,
                       11},
    DialogItemTemplate{IDC_BROWSE_DEST, "button", "...", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0,
                       138, 29, 21, 11},
    DialogItemTemplate{IDC_STATIC, "static",
                       "Select a folder to save:", kChild | SS_LEFT | WS_GROUP, 0, 3, 20, 120, 7},
    DialogItemTemplate{IDC_DEST_FOLDER, "edit", "",
                       kChild | ES_READONLY | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 3, 29,
                       134, 11},
    DialogItemTemplate{IDC_PROGRESS, "msctls_progress32", "", kChild | PBS_SMOOTH, 0, 67, 69, 92,
                       11},
    DialogItemTemplate{IDC_STATUS, "static", "Status", kChild | SS_CENTER | SS_SUNKEN | WS_GROUP, 0,
                       2, 70, 61, 10},
    DialogItemTemplate{IDC_STATIC, "button", "Options", kChild | BS_GROUPBOX, 0, 2, 42, 157, 24},
    // Each radio as wide as its text, so that the size list between them shows its entries whole.
    DialogItemTemplate{IDC_MODE_SPLIT, "button", "Split File",
                       kChild | BS_AUTORADIOBUTTON | WS_GROUP, 0, 5, 53, 51, 9},
    DialogItemTemplate{IDC_MODE_JOIN, "button", "Join File", kChild | BS_AUTORADIOBUTTON, 0, 109,
                       53, 48, 9},
    DialogItemTemplate{IDC_JOIN, "button", "Join", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 59, 86,
                       43, 14},
    // Tall enough to drop down every entry.
    DialogItemTemplate{IDC_SIZE_LIST, "combobox", "",
                       kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 57, 49, 50, 100},
    DialogItemTemplate{IDC_WEB_ADDRESS, "static", "www.quorvel.example",
                       kChild | SS_LEFT | WS_GROUP, 0, 29, 103, 92, 10},
};

// The size list holds the piece sizes in their order, so that its index picks the size, and
// then the entry that asks for another.
constexpr auto kSplitterInit = [] {
  std::array<DialogInitEntry, kSizePresets.size() + 1> entries{};
  for (std::size_t index = 0; index < kSizePresets.size(); ++index)
    entries[index] = {IDC_SIZE_LIST, CB_ADDSTRING, kSizePresets[index].label};
  entries.back() = {IDC_SIZE_LIST, CB_ADDSTRING, kOtherSizeEntry};
  return entries;
}();

constexpr std::array kSizeItems{
    DialogItemTemplate{IDC_STATIC, "static", "Piece size:", kChild | SS_LEFT | WS_GROUP, 0, 7, 9,
                       40, 8},
    DialogItemTemplate{IDC_SIZE_NUMBER, "edit", "",
                       kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 48, 7, 52, 12},
    DialogItemTemplate{IDC_SIZE_UNIT, "combobox", "",
                       kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 104, 7, 40, 90},
    DialogItemTemplate{IDC_STATIC, "static",
                       "K, M, G: 1000, 1000\u00B2, 1000\u00B3 bytes\n"
                       "KiB, MiB, GiB: 1024, 1024\u00B2, 1024\u00B3 bytes",
                       kChild | SS_LEFT, 0, 7, 24, 137, 16},
    DialogItemTemplate{IDOK, "button", "OK", kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0,
                       30, 44, 43, 14},
    DialogItemTemplate{IDCANCEL, "button", "Cancel", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 78, 44,
                       43, 14},
};

// The units in kSizeUnits' order, bytes named as such.
constexpr auto kSizeInit = [] {
  std::array<DialogInitEntry, kSizeUnits.size()> entries{};
  for (std::size_t index = 0; index < kSizeUnits.size(); ++index)
    entries[index] = {IDC_SIZE_UNIT, CB_ADDSTRING,
                      kSizeUnits[index].empty() ? "bytes" : kSizeUnits[index]};
  return entries;
}();

constexpr DialogTemplate kSizeDialog{IDD_SIZE_DIALOG,
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                         DS_SETFONT,
                                     0,
                                     151,
                                     64,
                                     "Piece Size",
                                     9,
                                     kFaceName,
                                     kSizeItems,
                                     kSizeInit};

constexpr std::array kAboutItems{
    DialogItemTemplate{IDC_STATIC, "static", "#128", kChild | SS_ICON, 0, 17, 9, 20, 20},
    DialogItemTemplate{IDC_STATIC, "static", kProductName,
                       kChild | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0, 58, 9, 86, 8},
    // As wide as the line below and centred where the narrower label was: the whole address shows.
    DialogItemTemplate{IDC_STATIC, "static", "www.quorvel.example", kChild | SS_CENTER, 0, 51, 23,
                       98, 8},
    DialogItemTemplate{IDC_STATIC, "static", "Free to copy and share.", kChild | SS_LEFT, 0, 51, 37,
                       98, 8},
    DialogItemTemplate{IDC_ABOUT_OK, "button", "OK",
                       kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 0, 71, 51, 44, 14},
};

constexpr DialogTemplate kAboutBox{IDD_ABOUTBOX,
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                                   0,
                                   189,
                                   67,
                                   kAboutCaption,
                                   9,
                                   kFaceName,
                                   kAboutItems,
                                   {}};

constexpr DialogTemplate kSplitterDialog{IDD_SPLITTER_DIALOG,
                                         WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                             DS_MODALFRAME | DS_SETFONT,
                                         WS_EX_APPWINDOW,
                                         161,
                                         116,
                                         kProductName,
                                         9,
                                         kFaceName,
                                         kSplitterItems,
                                         kSplitterInit};

} // namespace

const DialogTemplate &SplitterDialogTemplate() { return kSplitterDialog; }

const DialogTemplate &AboutBoxTemplate() { return kAboutBox; }

const DialogTemplate &SizeDialogTemplate() { return kSizeDialog; }

} // namespace quorvel::res
