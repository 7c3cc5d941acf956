#include "engine/FlushTogether.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

namespace quorvel {
namespace {

// Enough waiting flushes for a journal to gather them; more threads gain nothing.
constexpr std::size_t kMaxFlushers = 8;

void FlushTogether(std::vector<File> &files) {
  std::vector<std::exception_ptr> failures(files.size());
  std::atomic<std::size_t> next{0};
  const auto flushNext = [&] {
    for (std::size_t i; (i = next++) < files.size();) {
      try {
        files[i].Flush();
        files[i].Close();
      } catch (...) {
        failures[i] = std::current_exception();
      }
    }
  };
  {
    std::vector<std::jthread> flushers;
    for (std::size_t n = 1; n < std::min(kMaxFlushers, files.size()); ++n)
      flushers.emplace_back(flushNext);
    flushNext();
  }
  for (const std::exception_ptr &failure : failures) {
    if (failure)
      std::rethrow_exception(failure);
  }
}

} // namespace

std::future<void> FlushInBackground(std::vector<File> files) {
  std::promise<void> flushed;
  std::future<void> done = flushed.get_future();
  std::thread([files = std::move(files), flushed = std::move(flushed)]() mutable {
    try {
      FlushTogether(files);
      flushed.set_value();
    } catch (...) {
      flushed.set_exception(std::current_exception());
    }
  }).detach();
  return done;
}

} // namespace quorvel
