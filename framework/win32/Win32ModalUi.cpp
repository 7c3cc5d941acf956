#include "framework/win32/Win32ModalUi.h"

#include "framework/win32/Win32Colours.h"
#include "framework/win32/Win32Utf16.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <memory>

namespace quorvel::fw::win32 {
namespace {

constexpr wchar_t kBoxProcedureProperty[] = L"Quorvel.BoxProcedure";

LRESULT CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(::GetPropW(box, kBoxProcedureProperty));
  if (IsColourMessage(message))
    if (HBRUSH brush = PaintInDialogColours(reinterpret_cast<HDC>(wParam)))
      return reinterpret_cast<LRESULT>(brush);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::RemovePropW(box, kBoxProcedureProperty);
  }
  return ::CallWindowProcW(original, box, message, wParam, lParam);
}

// The system makes the box inside MessageBoxW; the hook takes it over when it is first
// activated, before it paints.
HHOOK g_boxHook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (!::GetPropW(box, kBoxProcedureProperty)) {
      const LONG_PTR original =
          ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BoxProcedure));
      ::SetPropW(box, kBoxProcedureProperty, reinterpret_cast<HANDLE>(original));
    }
  }
  return ::CallNextHookEx(g_boxHook, code, wParam, lParam);
}

struct ComFree {
  void operator()(void *memory) const { ::CoTaskMemFree(memory); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ComFree>;

// Releases a COM object when it goes.
template <class Interface> struct ComObject {
  Interface *object = nullptr;
  ComObject() = default;
  ComObject(const ComObject &) = delete;
  ComObject &operator=(const ComObject &) = delete;
  ~ComObject() {
    if (object)
      object->Release();
  }
  Interface *operator->() const { return object; }
  void **Out() { return reinterpret_cast<void **>(&object); }
};

// The folder dialog of Windows Vista and later, with its path box and New Folder. False when the
// system has none; `choice` then stays as it was.
bool PickFolder(const FolderBrowseRequest &request, std::optional<FolderChoice> &choice) {
  ComObject<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IFileOpenDialog), dialog.Out())))
    return false;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(Utf16FromUtf8(request.title).c_str());
  if (!request.initialSelection.empty()) {
    ComObject<IShellItem> start;
    if (SUCCEEDED(::SHCreateItemFromParsingName(Utf16FromUtf8(request.initialSelection).c_str(),
                                                nullptr, __uuidof(IShellItem), start.Out())))
      dialog->SetFolder(start.object);
  }
  // A cancel, or a dialog that could not be shown, chooses nothing.
  if (FAILED(dialog->Show(request.owner)))
    return true;
  ComObject<IShellItem> chosen;
  PWSTR path = nullptr;
  if (FAILED(dialog->GetResult(&chosen.object)) ||
      FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
    choice = FolderChoice{};
    return true;
  }
  choice = FolderChoice{Utf8FromUtf16(path)};
  ::CoTaskMemFree(path);
  return true;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
  const auto *initial = reinterpret_cast<const std::wstring *>(data);
  if (message == BFFM_INITIALIZED && !initial->empty())
    ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initial->c_str()));
  // OK stays enabled whatever is selected; a choice outside the file system is refused after.
  ::SendMessageW(browser, BFFM_ENABLEOK, 0, 1);
  return 0;
}

} // namespace

std::wstring FilterList(const std::vector<FileFilter> &filters) {
  std::wstring list;
  for (const FileFilter &filter : filters) {
    list += Utf16FromUtf8(filter.description);
    list += L'\0';
    for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
      if (i > 0)
        list += L';';
      list += Utf16FromUtf8(filter.patterns[i]);
    }
    list += L'\0';
  }
  list += L'\0';
  return list;
}

int Win32ModalUi::MessageBox(const MessageBoxRequest &request) {
  const HHOOK outer = std::exchange(
      g_boxHook, ::SetWindowsHookExW(WH_CBT, BoxHook, nullptr, ::GetCurrentThreadId()));
  const int result = ::MessageBoxW(request.owner, Utf16FromUtf8(request.text).c_str(),
                                   Utf16FromUtf8(request.caption).c_str(), request.type);
  if (g_boxHook)
    ::UnhookWindowsHookEx(g_boxHook);
  g_boxHook = outer;
  return result;
}

std::optional<CString> Win32ModalUi::OpenFile(const FileOpenRequest &request) {
  const std::wstring filter = FilterList(request.filters);
  // Room for the longest path the system allows.
  std::wstring file(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = request.owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  // The explorer style is what a program without a hook of its own gets anyway.
  dialog.Flags = request.flags | OFN_EXPLORER;
  if (!::GetOpenFileNameW(&dialog))
    return std::nullopt;
  return Utf8FromUtf16(file.c_str());
}

std::optional<FolderChoice> Win32ModalUi::BrowseForFolder(const FolderBrowseRequest &request) {
  // The present dialog keeps the user under no root: a root takes the older browser.
  std::optional<FolderChoice> choice;
  if (request.root.empty() && PickFolder(request, choice))
    return choice;
  ItemList root;
  if (!request.root.empty()) {
    PIDLIST_ABSOLUTE parsed = nullptr;
    const HRESULT result =
        ::SHParseDisplayName(Utf16FromUtf8(request.root).c_str(), nullptr, &parsed, 0, nullptr);
    root.reset(parsed);
    if (FAILED(result))
      return std::nullopt;
  }
  const std::wstring title = Utf16FromUtf8(request.title);
  const std::wstring initial = Utf16FromUtf8(request.initialSelection);
  std::wstring displayName(MAX_PATH, L'\0');
  BROWSEINFOW browse{};
  browse.hwndOwner = request.owner;
  browse.pidlRoot = root.get();
  browse.pszDisplayName = displayName.data();
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(&initial);
  const ItemList chosen{::SHBrowseForFolderW(&browse)};
  if (!chosen)
    return std::nullopt;
  std::wstring path(MAX_PATH, L'\0');
  if (!::SHGetPathFromIDListW(chosen.get(), path.data()))
    return FolderChoice{};
  return FolderChoice{Utf8FromUtf16(path.c_str())};
}

} // namespace quorvel::fw::win32
