#include "framework/Dialog.h"

#include "framework/DialogTemplate.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"

namespace quorvel::fw {

void DDX_Control(CDataExchange *pDX, int id, CWnd &control) {
  if (control.m_hWnd)
    return;
  CDialog &dialog = *pDX->m_pDlgWnd;
  if (dialog.m_hWnd)
    control.SubclassWindow(platform::Child(dialog.m_hWnd, static_cast<UINT>(id)));
}

void DDX_Text(CDataExchange *pDX, int id, CString &value) {
  CDialog &dialog = *pDX->m_pDlgWnd;
  HWND child = dialog.m_hWnd ? platform::Child(dialog.m_hWnd, static_cast<UINT>(id)) : nullptr;
  if (!child)
    return;
  if (pDX->m_bSaveAndValidate)
    value = platform::Text(child);
  else
    platform::SetText(child, value);
}

CDialog::CDialog(const DialogTemplate &dialogTemplate, CWnd *parent)
    : m_template(dialogTemplate), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
  if (!Create())
    return -1;
  if (!m_bEnded)
    platform::RunModalLoop(m_hWnd);
  DestroyWindow();
  return m_nModalResult;
}

BOOL CDialog::Create(CWnd *parent) {
  if (m_hWnd)
    return FALSE;
  if (parent)
    m_pParentWnd = parent;
  CWnd *owner = m_pParentWnd;
  if (!owner && AfxGetApp() && AfxGetApp()->m_pMainWnd != this)
    owner = AfxGetApp()->m_pMainWnd;
  m_bEnded = false;
  m_nModalResult = -1;
  SubclassWindow(platform::CreateDialogWindow(m_template, owner ? owner->m_hWnd : nullptr));
  if (OnInitDialog())
    platform::FocusFirstTabStop(m_hWnd);
  if (!m_bEnded)
    platform::ShowDialogWindow(m_hWnd);
  return TRUE;
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  m_bEnded = true;
  if (m_hWnd)
    platform::EndModalLoop(m_hWnd);
}

void CDialog::RunLoopWhile(const std::function<bool()> &running) {
  if (m_hWnd)
    platform::RunLoopWhile(m_hWnd, running);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange exchange{this, saveAndValidate};
  DoDataExchange(&exchange);
  return TRUE;
}

void CDialog::DoDataExchange(CDataExchange *) {}

BOOL CDialog::OnInitDialog() {
  ExecuteDlgInit();
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::ExecuteDlgInit() {
  for (const DialogInitEntry &entry : m_template.initData) {
    if (HWND control = platform::Child(m_hWnd, entry.controlId))
      platform::SendText(control, entry.message, 0, CString{entry.text});
  }
}

void CDialog::OnOK() {
  if (UpdateData(TRUE))
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam))
    return TRUE;
  const UINT id = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (code == BN_CLICKED && id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (code == BN_CLICKED && id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return AfxGetApp() ? AfxGetApp()->OnCmdMsg(id, code) : FALSE;
}

} // namespace quorvel::fw
