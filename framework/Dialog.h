#pragma once

#include "framework/DialogTemplate.h"
#include "framework/Wnd.h"

#include <functional>

// Dialogs built from dialog templates, and the exchange of data between a dialog's
// controls and its members.
namespace quorvel::fw {

class CDialog;

// Which way one exchange runs.
struct CDataExchange {
  CDialog *m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};

// Attaches `control` to the dialog's child `id` the first time round.
void DDX_Control(CDataExchange *pDX, int id, CWnd &control);
// Copies the child's text into `value` when saving, `value` into the child otherwise.
void DDX_Text(CDataExchange *pDX, int id, CString &value);

class CDialog : public CWnd {
public:
  // The template must outlive the dialog.
  explicit CDialog(const DialogTemplate &dialogTemplate, CWnd *parent = nullptr);
  ~CDialog() override;

  // Shows the dialog and returns the result EndDialog was given, or -1 when it could not be
  // made. Owned by the parent, or by the application's main window when there is none.
  virtual int DoModal();
  // Makes the window and initialises it without waiting; for a dialog that the caller drives.
  BOOL Create(CWnd *parent = nullptr);
  void EndDialog(int result);
  // Takes the program's events as the dialog's own loop does while `running` says so: for a
  // handler that waits for work done elsewhere with the window alive. See platform::RunLoopWhile.
  void RunLoopWhile(const std::function<bool()> &running);

  BOOL UpdateData(BOOL saveAndValidate = TRUE);

protected:
  virtual void DoDataExchange(CDataExchange *pDX);
  // Fills controls from the template's initialisation data and the members into the controls.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
  void ExecuteDlgInit();

  const DialogTemplate &m_template;
  CWnd *m_pParentWnd;
  int m_nModalResult = -1;
  bool m_bEnded = false;
};

} // namespace quorvel::fw
