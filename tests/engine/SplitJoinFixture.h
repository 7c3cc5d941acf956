#pragma once

#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/SplitRun.h"
#include "tests/engine/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel {

// Runs the split and join as the programs do, with the piece sizes of the size list.
class SplitJoin : public ::testing::Test {
protected:
  Outcome Split(const test::PathText &source, const test::PathText &dest,
                std::uint64_t pieceSize = kDefaultPieceSize) {
    test::PieceWatch watch;
    return Split(watch, source, dest, pieceSize);
  }
  Outcome Split(Progress &progress, const test::PathText &source, const test::PathText &dest,
                std::uint64_t pieceSize = kDefaultPieceSize) {
    return RunSplit({source.str(), dest.str(), pieceSize}, progress);
  }
  Outcome Join(const test::PathText &firstPiece, const test::PathText &dest) {
    test::PieceWatch watch;
    return Join(watch, firstPiece, dest);
  }
  Outcome Join(Progress &progress, const test::PathText &firstPiece, const test::PathText &dest) {
    return RunJoin({firstPiece.str(), dest.str()}, progress);
  }

  test::TempDir m_dir;
};

} // namespace quorvel
