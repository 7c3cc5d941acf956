#pragma once

#include "app/SplitterDialog.h"

#include <chrono>
#include <thread>

namespace quorvel::tools {

// The main dialog with each block of its runs slowed as on a slow medium, so that a run lasts a
// few seconds: long enough for a picture of its middle, or to be cancelled there.
class SlowRunDialog : public SplitterDialog {
public:
  Outcome RunCore(const Core &core, Progress &progress) override {
    return SplitterDialog::RunCore(
        [&core](Progress &relay) {
          Slowed slowed(relay);
          return core(slowed);
        },
        progress);
  }

private:
  class Slowed final : public Progress {
  public:
    explicit Slowed(Progress &relay) : m_relay(relay) {}
    Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override {
      return m_relay.PieceDone(pieceNumber, pieceCount);
    }
    Flow BytesDone(std::uint64_t done, std::uint64_t total) override {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
      return m_relay.BytesDone(done, total);
    }

  private:
    Progress &m_relay;
  };
};

} // namespace quorvel::tools
