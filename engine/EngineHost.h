#pragma once

#include "engine/Outcome.h"
#include "engine/PieceNaming.h"
#include "engine/Progress.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorvel {

enum MessageBoxType : unsigned {
  MessageBoxOk = 0x00,
  MessageBoxIconStop = 0x10,
  MessageBoxIconExclamation = 0x30,
};

// What the split and join need of the window they run in: the fields they read and write, and
// the report operations. The main dialog, the command-line tool and the tests are hosts.
class EngineHost {
public:
  static constexpr int kNoSelection = -1;

  std::string m_strStatus;
  std::string m_strSourcePath;
  std::string m_strDestFolder;
  std::string m_strSourceName;

  // +1 turns the wait cursor on and -1 off again; requests nest.
  virtual void DoWaitCursor(int code) = 0;
  // true copies the status, source and destination fields into the members, false the members
  // back into the fields.
  virtual void UpdateData(bool saveAndValidate) = 0;
  // Paints what the last reports invalidated at once, while the operation still runs.
  virtual void UpdateWindow() = 0;
  virtual void SetProgressRange(int lower, int upper) = 0;
  virtual void SetProgressPos(int position) = 0;
  // The size list's selected index, or kNoSelection.
  virtual int GetSizeSelection() = 0;
  // The split's piece size in bytes: the one of the size list's selection, unless the host
  // offers sizes of its own.
  virtual std::uint64_t GetPieceSize() { return PieceSizeForIndex(GetSizeSelection()); }
  // A modal box owned by the host window, returning when the user closes it.
  virtual void ShowMessageBox(std::string_view text, std::string_view caption, unsigned type) = 0;
  // A modal box under the application's title; MessageBoxOk shows the exclamation icon.
  virtual void AfxMessageBox(std::string_view text, unsigned type) = 0;
  // Focus into the source field with all its text selected and the caret scrolled into view.
  virtual void FocusSourceField() = 0;

  using Core = std::function<Outcome(Progress &)>;
  // Runs the split or join itself and returns how it ended, with `progress` told of its way. A
  // host whose window must stay alive meanwhile runs it on another thread and tells `progress`
  // on its own; it may stop the run too.
  virtual Outcome RunCore(const Core &core, Progress &progress) { return core(progress); }

protected:
  ~EngineHost() = default;
};

// Holds the wait cursor for one operation, on every path out of it.
class WaitCursor {
public:
  explicit WaitCursor(EngineHost &host) : m_host(host) { m_host.DoWaitCursor(1); }
  WaitCursor(const WaitCursor &) = delete;
  WaitCursor &operator=(const WaitCursor &) = delete;
  ~WaitCursor() { m_host.DoWaitCursor(-1); }

private:
  EngineHost &m_host;
};

} // namespace quorvel
