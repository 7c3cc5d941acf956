#include "tests/controls/ControlWindow.h"

#include "framework/qt/QtControlPeers.h"

#include <QPointer>

namespace quorvel::test {

// A Qt control needs no parent; only the control itself may be left to delete.
struct ControlWindow::Backend {
  QPointer<QWidget> control;
};

ControlWindow::ControlWindow(ControlClass kind, UINT id, DWORD style, const fw::CString &caption,
                             int width, int height)
    : m_backend(std::make_unique<Backend>()) {
  fw::qt::QtWindowPeer *control = nullptr;
  if (kind == ControlClass::Progress)
    control = new fw::qt::QtProgressPeer(nullptr, id, style);
  else
    control = new fw::qt::QtPushButtonPeer(nullptr, id, style, caption);
  control->Widget().resize(width, height);
  m_backend->control = &control->Widget();
  m_control = control->Handle();
}

ControlWindow::~ControlWindow() { delete m_backend->control.data(); }

} // namespace quorvel::test
