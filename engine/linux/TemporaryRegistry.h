#pragma once

#include <csignal>
#include <string_view>

namespace quorvel {

// Where the signal handler finds the temporary files of the runs in progress, however many wait
// to be put in place. Entries are never freed, only reused, so that a handler walking them never
// meets freed memory.
struct TemporaryEntry;

// Registers the temporary file `name` in the folder open as `folder`. Call with the ending signals
// deferred, between creating the file and anything that could end the run.
TemporaryEntry *PublishTemporary(int folder, std::string_view name);
// Forgets the file once it is removed or put in place; nullptr is ignored.
void WithdrawTemporary(TemporaryEntry *entry) noexcept;

// Work the handler does before it removes the temporary files: putting back what a split had begun
// to put in place. `run` must be async-signal-safe and touch only what stays while it is published.
struct CleanupEntry;
CleanupEntry *PublishCleanup(void (*run)(void *data), void *data);
// Call with the ending signals deferred, so that no handler is running it meanwhile.
void WithdrawCleanup(CleanupEntry *entry) noexcept;

// Keeps the signals that end the run waiting while a temporary file is created and published, so
// that none is left behind unpublished. A signal taken meanwhile by another thread of the program
// (the dialog's, a hash worker's) waits in its handler until the file is published.
class EndingSignalsDeferred {
public:
  EndingSignalsDeferred();
  EndingSignalsDeferred(const EndingSignalsDeferred &) = delete;
  EndingSignalsDeferred &operator=(const EndingSignalsDeferred &) = delete;
  ~EndingSignalsDeferred();

private:
  sigset_t m_previous;
};

} // namespace quorvel
