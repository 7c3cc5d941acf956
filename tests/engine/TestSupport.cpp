#include "tests/engine/TestSupport.h"

#include "res/Messages.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel::test {

fs::path PathOf(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Utf8Of(const fs::path &path) {
  const std::u8string utf8 = path.u8string();
  return {utf8.begin(), utf8.end()};
}

TempDir::TempDir(const fs::path &parent) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = parent / ("quorvel-test-" + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      m_path = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a folder in " + parent.string());
}

std::string TempDir::operator/(std::string_view name) const {
  return Utf8Of(m_path / PathOf(name).make_preferred());
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(m_path, ignored);
}

std::string RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char &byte : bytes)
    byte = static_cast<char>(generator());
  return bytes;
}

void WriteFile(const PathText &path, std::string_view bytes) {
  std::ofstream out(PathOf(path.str()), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw std::runtime_error("cannot write " + path.str());
}

std::string ReadFile(const PathText &path) {
  std::ifstream in(PathOf(path.str()), std::ios::binary);
  if (!in)
    throw std::runtime_error("cannot read " + path.str());
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> NamesIn(const fs::path &folder) {
  std::vector<std::string> names;
  for (const auto &entry : fs::directory_iterator(folder))
    names.push_back(Utf8Of(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> ContentsOf(const fs::path &folder) {
  std::map<std::string, std::string> contents;
  for (const auto &entry : fs::directory_iterator(folder))
    contents[Utf8Of(entry.path().filename())] =
        entry.is_directory() ? "<folder>" : ReadFile(entry.path());
  return contents;
}

#ifndef _WIN32
LockHolder::LockHolder(const PathText &path, Hold hold) {
  const int lockOperation = hold == Hold::shared ? LOCK_SH : LOCK_EX;
  int ready[2];
  int release[2];
  if (::pipe(ready) != 0 || ::pipe(release) != 0)
    throw std::runtime_error("pipe failed");
  m_child = ::fork();
  if (m_child == 0) {
    ::close(ready[0]);
    ::close(release[1]);
    const int fd = ::open(path.str().c_str(), hold == Hold::writing ? O_WRONLY : O_RDONLY);
    struct flock recordLock {};
    recordLock.l_type = F_RDLCK;
    recordLock.l_whence = SEEK_SET;
    const bool held = hold == Hold::openOnly || hold == Hold::writing ? true
                      : hold == Hold::posixLock ? ::fcntl(fd, F_SETLK, &recordLock) == 0
                                                : ::flock(fd, lockOperation) == 0;
    const char locked = fd >= 0 && held ? 1 : 0;
    (void)!::write(ready[1], &locked, 1);
    char done;
    (void)!::read(release[0], &done, 1);
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  m_release = release[1];
  char locked = 0;
  const bool heard = ::read(ready[0], &locked, 1) == 1;
  ::close(ready[0]);
  if (!heard || !locked) {
    // Ended at once, or the next holder would inherit its release pipe and keep it waiting.
    ::close(m_release);
    ::waitpid(m_child, nullptr, 0);
    throw std::runtime_error("the helper could not lock " + path.str());
  }
}

LockHolder::~LockHolder() {
  ::close(m_release);
  ::waitpid(m_child, nullptr, 0);
}
#endif

Flow PieceWatch::PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) {
  m_pieces.push_back(pieceNumber);
  m_pieceCount = pieceCount;
  if (m_onPiece)
    m_onPiece(pieceNumber);
  return Flow::proceed;
}

std::string Said(const Outcome &outcome) {
  switch (outcome.kind) {
  case Outcome::Kind::refused:
    return res::RefusalText(outcome);
  case Outcome::Kind::failed:
    return res::FailureText(outcome.failure);
  case Outcome::Kind::done:
  case Outcome::Kind::cancelled:
    break;
  }
  return {};
}

::testing::AssertionResult Done(const Outcome &outcome) {
  if (outcome.kind == Outcome::Kind::done)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << (outcome.kind == Outcome::Kind::cancelled ? "cancelled" : Said(outcome));
}

} // namespace quorvel::test
