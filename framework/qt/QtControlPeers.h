#pragma once

// The platform's edit field, combo box and static label. The edit field and the combo box are
// Qt's own widgets inside the window; the label paints on its surface like the other windows.
#include "framework/qt/QtWindowPeer.h"

class QComboBox;
class QLineEdit;

namespace quorvel::fw::qt {

class QtEditPeer : public QtWindowPeer {
public:
  QtEditPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);

  CString Text() const override;
  void SetText(const CString &text) override;
  void Update() override;
  void Focus() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  QLineEdit *LineEdit() const { return m_lineEdit; }

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  QLineEdit *m_lineEdit;
  bool m_changed = false;
};

class QtComboPeer : public QtWindowPeer {
public:
  QtComboPeer(QWidget *parent, UINT controlId, DWORD style);

  void Focus() override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  QComboBox *ComboBox() const { return m_comboBox; }
  // The height the closed box needs.
  int FieldHeight() const;

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  QComboBox *m_comboBox;
};

class QtStaticPeer : public QtWindowPeer {
public:
  QtStaticPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);

protected:
  void PaintDefault(CPaintDC &dc) override;
};

} // namespace quorvel::fw::qt
