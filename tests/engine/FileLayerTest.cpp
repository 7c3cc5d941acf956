#include "engine/File.h"
#include "engine/FileCause.h"
#include "tests/engine/TestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <iterator>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace quorvel {
namespace {

using test::TempDir;

TEST(FileCauses, Win32CodesFollowTheFrameworkTable) {
  const std::vector<std::pair<FileCause, std::vector<std::uint32_t>>> rows{
      {FileCause::none, {0}},
      {FileCause::fileNotFound, {2, 6, 18, 107}},
      {FileCause::badPath,
       {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
      {FileCause::tooManyOpenFiles, {4, 36, 68, 113}},
      {FileCause::accessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
      {FileCause::invalidFile, {11, 26, 60, 66, 114, 182, 191, 193}},
      {FileCause::removeCurrentDir, {16, 145}},
      {FileCause::directoryFull, {62}},
      {FileCause::badSeek, {24, 25, 27, 30, 131, 132}},
      {FileCause::hardIO, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
      {FileCause::sharingViolation, {32}},
      {FileCause::lockViolation, {33, 108, 167}},
      {FileCause::diskFull, {39, 112}},
      {FileCause::endOfFile, {38}},
      {FileCause::fileTooLarge, {223}},
  };
  std::size_t listed = 0;
  for (const auto &[cause, codes] : rows) {
    for (std::uint32_t code : codes)
      EXPECT_EQ(CauseFromWin32Error(code), cause) << "code " << code;
    listed += codes.size();
  }
  std::size_t nonGeneric = 0;
  for (std::uint32_t code = 0; code < 2000; ++code)
    nonGeneric += CauseFromWin32Error(code) != FileCause::genericException;
  EXPECT_EQ(nonGeneric, listed) << "a code outside the table is not generic";
  EXPECT_EQ(CauseFromWin32Error(0xFFFFFFFF), FileCause::genericException);
}

#ifndef _WIN32
TEST(FileCauses, ErrnoMapsToTheNearestWindowsCause) {
  EXPECT_EQ(CauseFromErrno(ENOENT), FileCause::fileNotFound);
  EXPECT_EQ(CauseFromErrno(ENOENT, OpenPurpose::creating), FileCause::badPath);
  for (int error : {ENOTDIR, ENAMETOOLONG, ELOOP})
    EXPECT_EQ(CauseFromErrno(error), FileCause::badPath);
  for (int error : {EMFILE, ENFILE})
    EXPECT_EQ(CauseFromErrno(error), FileCause::tooManyOpenFiles);
  for (int error : {EACCES, EPERM, EROFS, EISDIR})
    EXPECT_EQ(CauseFromErrno(error), FileCause::accessDenied);
  for (int error : {ENOSPC, EDQUOT})
    EXPECT_EQ(CauseFromErrno(error), FileCause::diskFull);
  EXPECT_EQ(CauseFromErrno(EFBIG), FileCause::fileTooLarge);
  EXPECT_EQ(CauseFromErrno(EBADF), FileCause::invalidFile);
  EXPECT_EQ(CauseFromErrno(EIO), FileCause::hardIO);
  EXPECT_EQ(CauseFromErrno(EWOULDBLOCK), FileCause::sharingViolation);
  for (int error : {ENOLCK, EDEADLK})
    EXPECT_EQ(CauseFromErrno(error), FileCause::lockViolation);
  EXPECT_EQ(CauseFromErrno(EPROTO), FileCause::genericException);
}
#endif

TEST(FileOpen, FailuresCarryCauseAndPath) {
  TempDir dir;
  File file;
  FileException error;
  EXPECT_FALSE(file.Open(dir / "missing", File::modeRead | File::shareDenyNone, &error));
  EXPECT_EQ(error.m_cause, FileCause::fileNotFound);
  EXPECT_EQ(error.m_strFileName, dir / "missing");

  const unsigned create = File::modeCreate | File::modeWrite | File::shareExclusive;
  EXPECT_FALSE(file.Open(dir / "no/such/folder", create, &error));
  EXPECT_EQ(error.m_cause, FileCause::badPath);

  EXPECT_FALSE(file.Open(dir.path().string(), File::modeRead | File::shareDenyNone, &error));
  EXPECT_EQ(error.m_cause, FileCause::accessDenied) << "a folder is not a file";

  EXPECT_FALSE(file.Open(dir / std::string(300, 'n'), create, &error));
  EXPECT_EQ(error.m_cause, FileCause::badPath);
  EXPECT_FALSE(file.IsOpen());
}

#ifndef _WIN32
// Windows has no FIFO in its folders.
TEST(FileOpen, AFifoOpensWithoutWaitingForAWriter) {
  TempDir dir;
  const std::string path = dir / "fifo";
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  File fifo;
  ASSERT_TRUE(fifo.Open(path, File::modeRead | File::shareDenyNone));
  EXPECT_EQ(fifo.GetLength(), 0u);
}
#endif

TEST(FileOpen, ShareModesHoldAmongOpeners) {
  TempDir dir;
  const std::string path = dir / "piece";
  test::WriteFile(path, "kept");
  const unsigned shared = File::modeRead | File::shareDenyNone;
  const unsigned exclusiveRead = File::modeRead | File::shareExclusive;
  const unsigned create = File::modeCreate | File::modeWrite | File::shareExclusive;
  File first;
  File second;
  FileException error;

  ASSERT_TRUE(first.Open(path, shared));
  EXPECT_TRUE(second.Open(path, shared)) << "shared opens coexist";
  second.Close();
  EXPECT_FALSE(second.Open(path, exclusiveRead, &error));
  EXPECT_EQ(error.m_cause, FileCause::sharingViolation);
  EXPECT_FALSE(second.Open(path, create, &error));
  EXPECT_EQ(error.m_cause, FileCause::sharingViolation);
  EXPECT_EQ(test::ReadFile(path), "kept") << "a refused create must not truncate";
  first.Close();

  {
    test::LockHolder holder(path, test::Hold::exclusive);
#ifndef _WIN32
    const auto openDescriptors = [] {
      return std::distance(test::fs::directory_iterator("/proc/self/fd"), {});
    };
    const auto before = openDescriptors();
    EXPECT_FALSE(first.Open(path, shared, &error));
    EXPECT_EQ(openDescriptors(), before) << "a refused open keeps no descriptor";
#else
    EXPECT_FALSE(first.Open(path, shared, &error));
#endif
    EXPECT_EQ(error.m_cause, FileCause::sharingViolation);
    EXPECT_EQ(error.m_strFileName, path);
  }
  EXPECT_TRUE(first.Open(path, create)) << "the lock goes with its holder";
  EXPECT_EQ(first.GetLength(), 0u);
}

TEST(FileIo, FailuresAfterOpenThrowWithThePath) {
  TempDir dir;
  const std::string path = dir / "f";
  File file;
  ASSERT_TRUE(file.Open(path, File::modeCreate | File::modeWrite | File::shareExclusive));
  file.Write("abc", 3);
  EXPECT_EQ(file.GetLength(), 3u);
  char buffer[4];
  try {
    file.Read(buffer, sizeof buffer);
    FAIL() << "reading a write-only file succeeded";
  } catch (const FileException &failure) {
#ifdef _WIN32
    EXPECT_EQ(failure.m_cause, FileCause::accessDenied);
#else
    EXPECT_EQ(failure.m_cause, FileCause::invalidFile);
#endif
    EXPECT_EQ(failure.m_strFileName, path);
  }
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_THROW(file.GetLength(), FileException);
}

} // namespace
} // namespace quorvel
