#pragma once

#include "framework/Wnd.h"

#include <memory>

namespace quorvel::test {

enum class ControlClass { Progress, Button };

// A child control of the window system's own class, `width` x `height` pixels, inside a parent
// window of its own where the system needs one, for a test to attach an object to. It is not
// painted before the first update and does not have the focus. What is left of it goes with this
// object; the control may be destroyed first.
class ControlWindow {
public:
  ControlWindow(ControlClass kind, UINT id, DWORD style, const fw::CString &caption, int width,
                int height);
  ~ControlWindow();
  ControlWindow(const ControlWindow &) = delete;
  ControlWindow &operator=(const ControlWindow &) = delete;

  HWND Handle() const { return m_control; }

private:
  struct Backend;
  std::unique_ptr<Backend> m_backend;
  HWND m_control = nullptr;
};

} // namespace quorvel::test
