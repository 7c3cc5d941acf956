#pragma once

// The dialog window: a top-level window of the dialog's colour that holds the controls of its
// template, offers its window menu on the context menu, and turns Escape, Enter and F1 into the
// commands a dialog gets from them. Tab goes through the controls in template order.
#include "framework/DialogTemplate.h"
#include "framework/qt/QtWindowPeer.h"

#include <vector>

class QEventLoop;

namespace quorvel::fw {

// What a menu handle points at: the items of a window menu, which the window shows itself.
struct detail::MenuData {
  struct Item {
    UINT flags;
    UINT_PTR id;
    CString text;
  };
  std::vector<Item> items;
};

namespace qt {

// The dialog font's average character width and its height: four horizontal and eight vertical
// dialog units.
CSize DialogBaseUnits(const QFont &font);
// The font a template asks for, at the platform's 96 pixels per inch.
QFont DialogFont(const DialogTemplate &dialogTemplate);

class QtDialogPeer : public QtPeerWidget<QWidget> {
public:
  QtDialogPeer(QWidget *ownerWindow, const DialogTemplate &dialogTemplate);
  ~QtDialogPeer() override;

  CString Text() const override { return windowTitle().toStdString(); }
  void SetText(const CString &text) override { setWindowTitle(ToQString(text)); }
  void Update() override;
  bool IsMinimized() const override { return isMinimized(); }
  HMENU SystemMenu() override { return &m_systemMenu; }
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  void RunModal();
  void EndModal();
  void FocusFirstTabStop();

protected:
  void closeEvent(QCloseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void contextMenuEvent(QContextMenuEvent *event) override;

private:
  void CreateControls(const DialogTemplate &dialogTemplate);
  void SendCommand(UINT id);
  UINT EnterCommand() const;

  detail::MenuData m_systemMenu;
  QEventLoop *m_modalLoop = nullptr;
  UINT m_defaultId = 0;
};

} // namespace qt
} // namespace quorvel::fw
