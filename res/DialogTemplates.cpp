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
    DialogItemTemplate{IDC_MODE_SPLIT, "button", "Split File",
                       kChild | BS_AUTORADIOBUTTON | WS_GROUP, 0, 5, 53, 58, 9},
    DialogItemTemplate{IDC_MODE_JOIN, "button", "Join File", kChild | BS_AUTORADIOBUTTON, 0, 107,
                       53, 50, 9},
    DialogItemTemplate{IDC_JOIN, "button", "Join", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, 59, 86,
                       43, 14},
    DialogItemTemplate{IDC_SIZE_LIST, "combobox", "",
                       kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 63, 49, 41, 54},
    DialogItemTemplate{IDC_WEB_ADDRESS, "static", "www.quorvel.example",
                       kChild | SS_LEFT | WS_GROUP, 0, 29, 103, 92, 10},
};

// The size list holds the piece sizes in their order, so that its index picks the size.
constexpr auto kSplitterInit = [] {
  std::array<DialogInitEntry, kSizePresets.size()> entries{};
  for (std::size_t index = 0; index < kSizePresets.size(); ++index)
    entries[index] = {IDC_SIZE_LIST, CB_ADDSTRING, kSizePresets[index].label};
  return entries;
}();

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

} // namespace quorvel::res
