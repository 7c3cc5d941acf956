#pragma once

#include "engine/Outcome.h"
#include "engine/Progress.h"
#include "framework/Dialog.h"

#include <atomic>
#include <functional>
#include <memory>

namespace quorvel {

// Runs a split or join on a worker thread while its dialog keeps taking the window system's
// events, so that the window repaints, answers the desktop and can be told to stop. The worker
// touches nothing of the dialog: its reports reach the dialog's thread as posted tasks, the
// latest piece only when it reports faster than the dialog takes them.
class BackgroundRun {
public:
  // A split or join itself: runs it with `progress` told of its way and returns how it ended.
  using Core = std::function<Outcome(Progress &)>;

  explicit BackgroundRun(fw::CDialog &dialog) : m_dialog(dialog) {}
  BackgroundRun(const BackgroundRun &) = delete;
  BackgroundRun &operator=(const BackgroundRun &) = delete;

  // Runs `core` and returns once it has ended, with each report told to `progress` on this
  // thread. A failure escaping the core escapes here.
  Outcome Run(const Core &core, Progress &progress);
  bool IsRunning() const { return m_running; }
  // The run ends at its next block as cancelled; nothing while none runs.
  void Stop();
  // Stops the run and returns once it has ended, its folders put back, for a program that ends
  // without going back to the run.
  void StopAndWait();

private:
  struct Relay;

  fw::CDialog &m_dialog;
  std::shared_ptr<Relay> m_relay;
  bool m_running = false;
};

} // namespace quorvel
