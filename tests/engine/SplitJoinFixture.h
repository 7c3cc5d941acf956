#pragma once

#include "engine/JoinFiles.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/SplitFile.h"
#include "tests/engine/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel {

inline const std::string kNotice = "Splitter|48|";
inline const std::string kFileError = "app|0|";

// Runs the split and join on a recording host and checks what every run must leave: the wait
// cursor off.
class SplitJoin : public ::testing::Test {
protected:
  int Split(const test::PathText &source, const test::PathText &dest, int sizeSelection = 0) {
    test::RecordingHost host;
    return Split(host, source, dest, sizeSelection);
  }
  int Split(test::RecordingHost &host, const test::PathText &source, const test::PathText &dest,
            int sizeSelection = 0) {
    host.m_strSourcePath = source.str();
    host.m_strSourceName = std::string{SourceNameOf(source.str())};
    host.m_strDestFolder = dest.str();
    host.m_sizeSelection = sizeSelection;
    const int result = SplitFile(host);
    EXPECT_EQ(host.m_waitDepth, 0) << "wait cursor left on";
    return result;
  }
  int Join(test::RecordingHost &host, const test::PathText &firstPiece,
           const test::PathText &dest) {
    host.m_strSourcePath = firstPiece.str();
    host.m_strDestFolder = dest.str();
    const int result = JoinFiles(host);
    EXPECT_EQ(host.m_waitDepth, 0) << "wait cursor left on";
    return result;
  }

  test::TempDir m_dir;
};

} // namespace quorvel
