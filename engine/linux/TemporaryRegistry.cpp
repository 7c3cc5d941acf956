#include "engine/linux/TemporaryRegistry.h"

#include "engine/StagedFile.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <ctime>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quorvel {

// A temporary name is ".quorvel-" + 8 characters + ".part".
constexpr std::size_t kTemporaryNameSize = 32;

// A handler may touch nothing but lock-free atomics and memory that is not changing: an entry is
// filled before its folder is published, and its link is set before it joins the list.
struct TemporaryEntry {
  static constexpr int kFree = -1;
  static constexpr int kFilling = -2;
  std::atomic<int> folder{kFilling};
  char name[kTemporaryNameSize] = {};
  TemporaryEntry *next = nullptr;
};

struct CleanupEntry {
  std::atomic<void (*)(void *)> run{nullptr};
  std::atomic<void *> data{nullptr};
  std::atomic<bool> claimed{true};
  CleanupEntry *next = nullptr;
};

namespace {

static_assert(std::atomic<int>::is_always_lock_free &&
              std::atomic<TemporaryEntry *>::is_always_lock_free);

std::atomic<TemporaryEntry *> g_temporaries{nullptr};
std::atomic<CleanupEntry *> g_cleanups{nullptr};
// Threads between creating a temporary file and publishing it, and whether a handler is removing
// the files: once it is, no thread starts creating another.
std::atomic<int> g_creating{0};
std::atomic<bool> g_removing{false};

// The signals whose default action ends the process and that come from outside it. The faults
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP) are left to end it as they do, with
// their core dump and to the sanitizers. The real-time signals follow, counted at run time.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,  SIGALRM,
                                  SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};

template <typename Visit> void ForEachEndingSignal(Visit visit) {
  std::ranges::for_each(kEndingSignals, visit);
  for (int signalNumber = SIGRTMIN; signalNumber <= SIGRTMAX; ++signalNumber)
    visit(signalNumber);
}

sigset_t EndingSignals() {
  sigset_t ending;
  sigemptyset(&ending);
  ForEachEndingSignal([&](int signalNumber) { sigaddset(&ending, signalNumber); });
  return ending;
}

TemporaryEntry *ClaimFreeEntry() {
  for (TemporaryEntry *entry = g_temporaries.load(); entry; entry = entry->next) {
    int expected = TemporaryEntry::kFree;
    if (entry->folder.compare_exchange_strong(expected, TemporaryEntry::kFilling))
      return entry;
  }
  return nullptr;
}

// Closes every descriptor but those on removed files: the locks of the run go with them.
void KeepOnlyRemovedFiles() {
  const int descriptors = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  alignas(8) char buffer[4096];
  for (long got; (got = ::syscall(SYS_getdents64, descriptors, buffer, sizeof buffer)) > 0;) {
    for (long offset = 0; offset < got;) {
      const auto *entry = reinterpret_cast<const dirent64 *>(buffer + offset);
      offset += entry->d_reclen;
      if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
        continue;
      int fd = 0;
      for (const char *digit = entry->d_name; *digit >= '0' && *digit <= '9'; ++digit)
        fd = fd * 10 + (*digit - '0');
      struct stat status {};
      const bool removed =
          ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 0;
      if (fd != descriptors && !removed)
        ::close(fd);
    }
  }
  ::close(descriptors);
}

// The files removed above go for good as their last descriptor closes, which waits for the device
// to finish writing what they were given. A child takes that wait, so that the process ends at
// once: it is left only the descriptors on removed files, which it holds until the process is
// gone and then lets go as it ends.
void HandOnRemovedFiles() {
  KeepOnlyRemovedFiles();
  int gone[2];
  if (::pipe2(gone, O_CLOEXEC) != 0 || ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0) != 0)
    return;
  sigset_t all;
  sigfillset(&all);
  ::sigprocmask(SIG_BLOCK, &all, nullptr);
  ::close(gone[1]);
  char byte;
  while (::read(gone[0], &byte, 1) < 0 && errno == EINTR) {
  }
  ::_exit(0);
}

extern "C" void RemoveTemporariesAndExit(int signalNumber) {
  // Creating and publishing takes microseconds; the bound only keeps a stuck file system from
  // holding the exit.
  constexpr timespec kPause{0, 1'000'000};
  // A second signal, which another thread takes meanwhile (the terminal's hang-up once the
  // descriptors below are closed), leaves the exit and its status to the first.
  if (g_removing.exchange(true)) {
    for (;;)
      ::pause();
  }
  for (int waited = 0; g_creating.load() > 0 && waited < 2000; ++waited)
    ::nanosleep(&kPause, nullptr);
  for (CleanupEntry *entry = g_cleanups.load(); entry; entry = entry->next) {
    if (const auto run = entry->run.load())
      run(entry->data.load());
  }
  for (TemporaryEntry *entry = g_temporaries.load(); entry; entry = entry->next) {
    if (const int folder = entry->folder.load(); folder >= 0)
      ::unlinkat(folder, entry->name, 0);
  }
  HandOnRemovedFiles();
  ::_exit(128 + signalNumber);
}

} // namespace

TemporaryEntry *PublishTemporary(int folder, std::string_view name) {
  TemporaryEntry *entry = ClaimFreeEntry();
  if (!entry) {
    entry = new TemporaryEntry;
    entry->next = g_temporaries.load();
    while (!g_temporaries.compare_exchange_weak(entry->next, entry)) {
    }
  }
  const std::size_t length = std::min(name.size(), kTemporaryNameSize - 1);
  std::memcpy(entry->name, name.data(), length);
  entry->name[length] = '\0';
  entry->folder.store(folder);
  return entry;
}

void WithdrawTemporary(TemporaryEntry *entry) noexcept {
  if (entry)
    entry->folder.store(TemporaryEntry::kFree);
}

CleanupEntry *PublishCleanup(void (*run)(void *data), void *data) {
  CleanupEntry *entry = nullptr;
  for (CleanupEntry *free = g_cleanups.load(); free && !entry; free = free->next) {
    bool claimed = false;
    if (free->claimed.compare_exchange_strong(claimed, true))
      entry = free;
  }
  if (!entry) {
    entry = new CleanupEntry;
    entry->next = g_cleanups.load();
    while (!g_cleanups.compare_exchange_weak(entry->next, entry)) {
    }
  }
  entry->data.store(data);
  entry->run.store(run);
  return entry;
}

void WithdrawCleanup(CleanupEntry *entry) noexcept {
  if (!entry)
    return;
  entry->run.store(nullptr);
  entry->claimed.store(false);
}

EndingSignalsDeferred::EndingSignalsDeferred() {
  const sigset_t ending = EndingSignals();
  pthread_sigmask(SIG_BLOCK, &ending, &m_previous);
  g_creating.fetch_add(1);
  if (!g_removing.load())
    return;
  // The process is ending in another thread's handler: create nothing it would not find.
  g_creating.fetch_sub(1);
  for (;;)
    ::pause();
}

EndingSignalsDeferred::~EndingSignalsDeferred() {
  g_creating.fetch_sub(1);
  pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

void RemoveTemporaryFilesOnInterrupt() {
  struct sigaction action {};
  action.sa_handler = RemoveTemporariesAndExit;
  // A second signal waits, so that the status is the first one's.
  action.sa_mask = EndingSignals();
  ForEachEndingSignal([&](int signalNumber) {
    struct sigaction previous {};
    // A signal ignored by whoever started us (nohup, a background job) stays ignored, and one a
    // library of the program handles stays its own.
    if (::sigaction(signalNumber, nullptr, &previous) == 0 && !(previous.sa_flags & SA_SIGINFO) &&
        previous.sa_handler == SIG_DFL)
      ::sigaction(signalNumber, &action, nullptr);
  });
}

} // namespace quorvel
