#include "app/BackgroundRun.h"

#include "framework/Platform.h"

#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace quorvel {

// What the worker and the dialog's thread share. Posted tasks hold it too, since one may arrive
// after the run has returned; by then `progress` is null.
struct BackgroundRun::Relay final : Progress {
  struct Piece {
    std::uint64_t number;
    std::uint64_t count;
  };

  // Worker side.
  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override {
    {
      std::lock_guard lock(mutex);
      latest = Piece{pieceNumber, pieceCount};
      if (std::exchange(reportPosted, true))
        return Answer();
    }
    fw::platform::PostTask([relay = self.lock()] {
      if (relay)
        relay->Deliver();
    });
    return Answer();
  }
  Flow BytesDone(std::uint64_t, std::uint64_t) override { return Answer(); }
  void RemovingOlderSet() override {
    fw::platform::PostTask([relay = self.lock()] {
      if (relay && relay->progress && !relay->stop)
        relay->progress->RemovingOlderSet();
    });
  }
  Flow Answer() const { return stop ? Flow::stop : Flow::proceed; }

  // Dialog side.
  void Deliver() {
    std::optional<Piece> piece;
    {
      std::lock_guard lock(mutex);
      piece = std::exchange(latest, std::nullopt);
      reportPosted = false;
    }
    // Once asked to stop, the status line says so until the run has ended.
    if (piece && progress && !stop)
      progress->PieceDone(piece->number, piece->count);
  }

  std::weak_ptr<Relay> self;
  Progress *progress = nullptr;
  std::atomic<bool> stop = false;
  std::atomic<bool> ended = false;
  std::mutex mutex;
  std::optional<Piece> latest;
  bool reportPosted = false;
};

Outcome BackgroundRun::Run(const Core &core, Progress &progress) {
  auto relay = std::make_shared<Relay>();
  relay->self = relay;
  relay->progress = &progress;
  m_relay = relay;
  m_running = true;

  Outcome outcome;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      outcome = core(*relay);
    } catch (...) {
      failure = std::current_exception();
    }
    relay->ended = true;
    relay->ended.notify_all();
    // Wakes the loop below to see it.
    fw::platform::PostTask([] {});
  });
  {
    // Should the loop end early, for the program quitting or a failure, the run stops first.
    struct StopAndJoin {
      Relay &relay;
      std::thread &worker;
      ~StopAndJoin() {
        relay.stop = true;
        worker.join();
      }
    } stopAndJoin{*relay, worker};
    m_dialog.RunLoopWhile([&relay] { return !relay->ended; });
  }

  relay->Deliver();
  relay->progress = nullptr;
  m_relay.reset();
  m_running = false;
  if (failure)
    std::rethrow_exception(failure);
  return outcome;
}

void BackgroundRun::Stop() {
  if (m_relay)
    m_relay->stop = true;
}

void BackgroundRun::StopAndWait() {
  if (!m_relay)
    return;
  m_relay->stop = true;
  m_relay->ended.wait(false);
}

} // namespace quorvel
