#pragma once

// The platform's controls, each Qt's own widget of its kind, so that focus, keys, clicks, radio
// groups and what assistive technology reads of them are Qt's. An owner-drawn button and the
// progress bar are painted by the framework, through their objects.
#include "framework/qt/QtWindowPeer.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace quorvel::fw::qt {

// A push button; an owner-drawn one asks its owner to paint it.
class QtPushButtonPeer : public QtPeerWidget<QPushButton> {
public:
  QtPushButtonPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  CString Text() const override { return text().toStdString(); }
  void SetText(const CString &text) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  bool PaintsSurface() const override { return (Style() & BS_TYPEMASK) == BS_OWNERDRAW; }
  void PaintDefault(CPaintDC &dc) override;
  void paintEvent(QPaintEvent *event) override;

private:
  UINT ItemState() const;

  // The state the surface was last painted in.
  UINT m_paintedState = ~0u;
};

// An automatic radio button; the dialog puts the buttons of a template group in one QButtonGroup,
// which makes them exclusive.
class QtRadioPeer : public QtPeerWidget<QRadioButton> {
public:
  QtRadioPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  CString Text() const override { return text().toStdString(); }
  void SetText(const CString &text) override { setText(ToQString(text)); }
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  bool PaintsSurface() const override { return false; }
  void keyPressEvent(QKeyEvent *event) override;
  // The whole window takes the click, as the platform's button does.
  bool hitButton(const QPoint &position) const override { return rect().contains(position); }
};

// A frame with a title, drawn as the platform draws it: the frame's top runs through the middle
// of the title, so that the controls the templates place just below the title stay clear of it.
class QtGroupBoxPeer : public QtPeerWidget<QGroupBox> {
public:
  QtGroupBoxPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  CString Text() const override { return title().toStdString(); }
  void SetText(const CString &text) override { setTitle(ToQString(text)); }

protected:
  bool PaintsSurface() const override { return false; }
  void paintEvent(QPaintEvent *event) override;
};

// A static text, or an icon.
class QtLabelPeer : public QtPeerWidget<QLabel> {
public:
  QtLabelPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  CString Text() const override { return m_source; }
  void SetText(const CString &text) override;
  bool IsText() const { return (Style() & SS_TYPEMASK) != SS_ICON; }

protected:
  bool PaintsSurface() const override { return false; }

private:
  // The text, or the icon's name.
  CString m_source;
};

class QtEditPeer : public QtPeerWidget<QLineEdit> {
public:
  QtEditPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  CString Text() const override { return text().toStdString(); }
  void SetText(const CString &text) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  bool PaintsSurface() const override { return false; }
};

class QtComboPeer : public QtPeerWidget<QComboBox> {
public:
  QtComboPeer(QWidget *parent, UINT controlId, DWORD style);
  CString Text() const override { return currentText().toStdString(); }
  void SetText(const CString &) override {}
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  bool PaintsSurface() const override { return false; }
};

// The progress bar: a range and a position, which assistive technology reads as its value, and a
// flat bar of the filled share unless its object paints it.
class QtProgressPeer : public QtPeerWidget<QProgressBar> {
public:
  QtProgressPeer(QWidget *parent, UINT controlId, DWORD style);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  void PaintDefault(CPaintDC &dc) override;

private:
  // Tells Qt's bar, without its own repainting: the surface is repainted through the framework.
  void Publish();

  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
};

} // namespace quorvel::fw::qt
