#include "engine/CommitTogether.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace quorvel {
namespace {

// Enough waiting flushes for a journal to gather them; more threads gain nothing.
constexpr std::size_t kMaxCommitters = 8;

} // namespace

void CommitTogether(std::span<StagedFile *const> files) {
  std::vector<std::exception_ptr> failures(files.size());
  std::atomic<std::size_t> next{0};
  const auto commitNext = [&] {
    for (std::size_t i; (i = next++) < files.size();) {
      try {
        files[i]->Commit();
      } catch (...) {
        failures[i] = std::current_exception();
      }
    }
  };
  {
    std::vector<std::jthread> committers;
    for (std::size_t n = 1; n < std::min(kMaxCommitters, files.size()); ++n)
      committers.emplace_back(commitNext);
    commitNext();
  }
  for (const std::exception_ptr &failure : failures) {
    if (failure)
      std::rethrow_exception(failure);
  }
}

} // namespace quorvel
