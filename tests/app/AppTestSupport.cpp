#include "tests/app/AppTestSupport.h"

#include "app/SplitterApp.h"
#include "framework/Platform.h"
#include "framework/Utf8Path.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <utility>

namespace quorvel::test {

int ScriptedModalUi::MessageBox(const fw::MessageBoxRequest &request) {
  boxes.push_back(request);
  if (onBox)
    onBox();
  return IDOK;
}

std::optional<fw::CString> ScriptedModalUi::OpenFile(const fw::FileOpenRequest &request) {
  fileRequests.push_back(request);
  if (fileAnswers.empty())
    return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::optional<fw::FolderChoice>
ScriptedModalUi::BrowseForFolder(const fw::FolderBrowseRequest &request) {
  folderRequests.push_back(request);
  if (folderAnswers.empty())
    return std::nullopt;
  auto answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

TempFolder::TempFolder() {
  static std::mt19937 random(std::random_device{}());
  do
    m_path = std::filesystem::temp_directory_path() / ("quorvel-app-" + std::to_string(random()));
  while (!std::filesystem::create_directory(m_path));
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::string TempFolder::Text() const { return fw::Utf8FromPath(m_path); }

std::string TempFolder::operator/(const std::string &name) const {
  return fw::Utf8FromPath((m_path / fw::PathFromUtf8(name)).make_preferred());
}

std::vector<char> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<char> bytes(size);
  for (char &byte : bytes)
    byte = static_cast<char>(generator());
  return bytes;
}

void WriteFile(const std::string &path, const std::vector<char> &bytes) {
  std::ofstream(fw::PathFromUtf8(path), std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> ReadFile(const std::string &path) {
  std::ifstream in(fw::PathFromUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WhenModalWindowShows(std::function<void(HWND window)> look, int turnsLeft) {
  fw::platform::PostTask([look = std::move(look), turnsLeft]() mutable {
    // A system's box may first show when its loop has nothing else to do.
    if (HWND window = FrontModalWindow())
      return look(window);
    if (turnsLeft > 0)
      return WhenModalWindowShows(std::move(look), turnsLeft - 1);
    // A test that finds no window fails rather than waits for ever in the window's loop.
    ADD_FAILURE() << "no modal window showed";
    fw::platform::CloseModalWindow();
  });
}

struct AnswerProbe::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::uint64_t answered = 0;
  bool stop = false;
};

AnswerProbe::AnswerProbe() : m_shared(std::make_shared<Shared>()), m_asker([this] { Ask(); }) {}

AnswerProbe::~AnswerProbe() { Stop(); }

void AnswerProbe::Stop() {
  {
    std::lock_guard lock(m_shared->mutex);
    m_shared->stop = true;
  }
  m_shared->changed.notify_all();
  if (m_asker.joinable())
    m_asker.join();
}

void AnswerProbe::Ask() {
  using Clock = std::chrono::steady_clock;
  std::unique_lock lock(m_shared->mutex);
  while (!m_shared->stop) {
    const std::uint64_t expected = m_shared->answered + 1;
    const auto asked = Clock::now();
    // An answer may come after the probe is gone.
    fw::platform::PostTask([shared = m_shared] {
      std::lock_guard answerLock(shared->mutex);
      ++shared->answered;
      shared->changed.notify_all();
    });
    m_shared->changed.wait(lock, [&] { return m_shared->answered >= expected || m_shared->stop; });
    if (m_shared->answered < expected)
      return;
    m_longest =
        std::max<std::chrono::duration<double, std::milli>>(m_longest, Clock::now() - asked);
    ++m_answers;
    m_shared->changed.wait_for(lock, std::chrono::milliseconds(10), [&] { return m_shared->stop; });
  }
}

namespace {
SplitterDialog *g_applicationDialog = nullptr;
}

SplitterDialog &ApplicationDialog() { return *g_applicationDialog; }

} // namespace quorvel::test

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  const quorvel::test::TempFolder scratch;
  quorvel::test::PrepareTestProcess(scratch.path());
  int result = 1;
  const bool started =
      quorvel::DriveSplitterApp(argc, argv, [&result](quorvel::SplitterDialog &dialog) {
        quorvel::test::g_applicationDialog = &dialog;
        result = RUN_ALL_TESTS();
      });
  if (!started) {
    std::fprintf(stderr, "The application's start-up showed no main dialog.\n");
    return 1;
  }
  return result;
}
