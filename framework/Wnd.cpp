#include "framework/Wnd.h"

#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <utility>

namespace quorvel::fw {

namespace {

// Stands for a child that has no object of its own; never owns the window.
class TemporaryWnd final : public CWnd {
public:
  explicit TemporaryWnd(HWND window) { m_hWnd = window; }
  ~TemporaryWnd() override { m_hWnd = nullptr; }
};

} // namespace

LRESULT AfxCallWndProc(CWnd *object, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return object->WindowProc(message, wParam, lParam);
  } catch (...) {
    ReportEscapedFailure();
    return 0;
  }
}

std::vector<CString> DroppedPaths(HDROP drop) { return platform::DroppedPaths(drop); }

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
  for (const CommandMapEntry &entry : GetMessageMap()) {
    if (entry.id == id && entry.code == code) {
      (this->*entry.handler)();
      return TRUE;
    }
  }
  return FALSE;
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
  m_clientDCs.clear();
  DestroyWindow();
}

BOOL CWnd::SubclassWindow(HWND window) {
  if (!window || m_hWnd || platform::AttachedObject(window))
    return FALSE;
  m_hWnd = window;
  PreSubclassWindow();
  platform::AttachObject(window, this);
  return TRUE;
}

HWND CWnd::UnsubclassWindow() {
  HWND window = m_hWnd;
  if (window)
    platform::AttachObject(window, nullptr);
  m_hWnd = nullptr;
  return window;
}

BOOL CWnd::DestroyWindow() {
  m_temporaryChildren.clear();
  HWND window = UnsubclassWindow();
  if (!window)
    return FALSE;
  platform::DestroyWindow(window);
  return TRUE;
}

void CWnd::GetClientRect(CRect *rect) const {
  *rect = m_hWnd ? platform::ClientRect(m_hWnd) : CRect{};
}

DWORD CWnd::GetStyle() const { return m_hWnd ? platform::Style(m_hWnd) : 0; }

LONG CWnd::GetWindowLong(int index) const {
  if (!m_hWnd)
    return 0;
  if (index == GWL_STYLE)
    return static_cast<LONG>(platform::Style(m_hWnd));
  return 0;
}

UINT CWnd::GetDpi() const { return platform::Dpi(m_hWnd); }

void CWnd::GetWindowText(CString &text) const {
  text = m_hWnd ? platform::Text(m_hWnd) : CString{};
}

void CWnd::SetWindowText(const CString &text) {
  if (m_hWnd)
    platform::SetText(m_hWnd, text);
}

void CWnd::SetAccessibleName(const CString &name) {
  if (m_hWnd)
    platform::SetAccessibleName(m_hWnd, name);
}

BOOL CWnd::EnableWindow(BOOL enable) {
  if (!m_hWnd)
    return FALSE;
  const bool wasDisabled = !platform::IsEnabled(m_hWnd);
  platform::Enable(m_hWnd, enable != FALSE);
  return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const { return m_hWnd && platform::IsEnabled(m_hWnd) ? TRUE : FALSE; }

void CWnd::KeepArrowCursor(BOOL keep) {
  if (m_hWnd)
    platform::KeepArrowCursor(m_hWnd, keep != FALSE);
}

CWnd *CWnd::GetDlgItem(int id) const {
  HWND child = m_hWnd ? platform::Child(m_hWnd, static_cast<UINT>(id)) : nullptr;
  if (!child)
    return nullptr;
  if (CWnd *object = platform::AttachedObject(child))
    return object;
  for (const auto &temporary : m_temporaryChildren)
    if (temporary->m_hWnd == child)
      return temporary.get();
  return m_temporaryChildren.emplace_back(std::make_unique<TemporaryWnd>(child)).get();
}

void CWnd::SetFocus() {
  if (m_hWnd)
    platform::Focus(m_hWnd);
}

BOOL CWnd::IsIconic() const { return m_hWnd && platform::IsMinimized(m_hWnd) ? TRUE : FALSE; }

void CWnd::DragAcceptFiles(BOOL accept) {
  if (m_hWnd)
    platform::AcceptDroppedFiles(m_hWnd, accept != FALSE);
}

CMenu *CWnd::GetSystemMenu(BOOL) const {
  m_systemMenu.m_hMenu = m_hWnd ? platform::SystemMenu(m_hWnd) : nullptr;
  return m_systemMenu.m_hMenu ? &m_systemMenu : nullptr;
}

int CWnd::MessageBox(const CString &text, const CString &caption, UINT type) {
  return GetModalUi().MessageBox({m_hWnd, text, caption, type});
}

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const CRect *rect, BOOL erase) {
  if (m_hWnd)
    platform::Invalidate(m_hWnd, rect, erase != FALSE);
}

void CWnd::UpdateWindow() {
  if (m_hWnd)
    platform::Update(m_hWnd);
}

CDC *CWnd::GetDC() {
  if (!m_hWnd)
    return nullptr;
  return m_clientDCs.emplace_back(std::make_unique<CClientDC>(this)).get();
}

int CWnd::ReleaseDC(CDC *dc) {
  const auto held = std::find_if(m_clientDCs.begin(), m_clientDCs.end(),
                                 [dc](const auto &candidate) { return candidate.get() == dc; });
  if (held == m_clientDCs.end())
    return 0;
  m_clientDCs.erase(held);
  return 1;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return m_hWnd ? platform::Send(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Put back also when a handler throws: a failure caught inside an outer handler must not leave
  // that handler's Default() on the inner message.
  struct Restore {
    Message &current;
    const Message outer;
    ~Restore() { current = outer; }
  } restore{m_currentMessage, std::exchange(m_currentMessage, {message, wParam, lParam})};
  switch (message) {
  case WM_PAINT:
    OnPaint();
    return 0;
  case WM_ERASEBKGND: {
    CHandleDC dc(reinterpret_cast<HDC>(wParam));
    return OnEraseBkgnd(&dc);
  }
  case WM_COMMAND:
    return OnCommand(wParam, lParam) ? 0 : Default();
  case WM_SYSCOMMAND:
    OnSysCommand(static_cast<UINT>(wParam & 0xFFFF), lParam);
    return 0;
  case WM_CLOSE:
    OnClose();
    return 0;
  case WM_ENDSESSION:
    OnEndSession(static_cast<BOOL>(wParam));
    return 0;
  case WM_QUERYDRAGICON:
    return reinterpret_cast<LRESULT>(OnQueryDragIcon());
  case WM_DPICHANGED_AFTERPARENT:
    OnDpiChangedAfterParent();
    return 0;
  case WM_DROPFILES:
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  default:
    return Default();
  }
}

LRESULT CWnd::Default() {
  if (!m_hWnd)
    return 0;
  return platform::CallDefault(m_hWnd, m_currentMessage.message, m_currentMessage.wParam,
                               m_currentMessage.lParam);
}

void CWnd::OnPaint() { Default(); }

BOOL CWnd::OnEraseBkgnd(CDC *) { return static_cast<BOOL>(Default()); }

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnClose() { Default(); }

void CWnd::OnEndSession(BOOL) { Default(); }

HICON CWnd::OnQueryDragIcon() { return reinterpret_cast<HICON>(Default()); }

void CWnd::OnDpiChangedAfterParent() { Default(); }

void CWnd::OnDropFiles(HDROP) { Default(); }

void CButton::SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }

void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_DRAWITEM)
    return CWnd::WindowProc(message, wParam, lParam);
  DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  return TRUE;
}

int CProgressCtrl::GetPos() const {
  return m_hWnd ? static_cast<int>(platform::Send(m_hWnd, PBM_GETPOS, 0, 0)) : 0;
}

int CComboBox::GetCurSel() const {
  return m_hWnd ? static_cast<int>(platform::Send(m_hWnd, CB_GETCURSEL, 0, 0))
                : static_cast<int>(CB_ERR);
}

int CComboBox::SetCurSel(int index) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::InsertString(int index, const CString &text) {
  return static_cast<int>(
      platform::SendText(m_hWnd, CB_INSERTSTRING, static_cast<WPARAM>(index), text));
}

void CComboBox::FitDroppedWidth() { platform::FitDroppedWidth(m_hWnd); }

} // namespace quorvel::fw
