#pragma once

#include "framework/Wnd.h"

#include <optional>
#include <vector>

// The modal windows the program asks the user through. The platform provides them; a test puts
// its own in their place to answer each one and to see what was shown.
namespace quorvel::fw {

struct MessageBoxRequest {
  HWND owner;
  CString text;
  CString caption;
  UINT type;
};

// One entry of a file dialog's filter list; a name is listed when it matches any pattern.
struct FileFilter {
  CString description;
  std::vector<CString> patterns;
  friend bool operator==(const FileFilter &, const FileFilter &) = default;
};

struct FileOpenRequest {
  HWND owner;
  std::vector<FileFilter> filters;
  // OFN_* as the program asked for them.
  DWORD flags;
};

struct FolderBrowseRequest {
  HWND owner;
  CString title;
  // Empty: the file system's root.
  CString root;
  // Empty: nothing preselected.
  CString initialSelection;
};

// What the folder browser ended with: nothing when cancelled, and an empty path when the
// chosen item is not a folder of the file system.
struct FolderChoice {
  CString path;
};

class ModalUi {
public:
  virtual ~ModalUi() = default;
  // Returns the command of the button that closed the box.
  virtual int MessageBox(const MessageBoxRequest &request) = 0;
  // The chosen file's full path, or nothing when cancelled.
  virtual std::optional<CString> OpenFile(const FileOpenRequest &request) = 0;
  virtual std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &request) = 0;
};

ModalUi &GetModalUi();
// Null: the platform's own again. The replacement must outlive its use.
void SetModalUi(ModalUi *modalUi);

} // namespace quorvel::fw
