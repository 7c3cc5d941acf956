// Times one paint of a full 138 x 16 gradient bar and one draw of a 64 x 21 image button, the
// repaints a split makes after every piece.
#include "controls/GradientProgressCtrl.h"
#include "controls/ImageButton.h"
#include "framework/qt/QtControlPeers.h"
#include "res/Look.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <functional>

namespace {

using namespace quorvel;
using namespace quorvel::fw;

double MicrosecondsPerRun(int runs, const std::function<void()> &run) {
  run();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i)
    run();
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  return elapsed.count() / runs;
}

} // namespace

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  AfxSetResourceHandle(&res::ProgramResources());
  res::DeclareFaceStandIns();
  constexpr int kRuns = 2000;

  auto *barPeer = new qt::QtProgressPeer(nullptr, 1034, WS_CHILD | PBS_SMOOTH);
  barPeer->resize(138, 16);
  GradientProgressCtrl bar;
  bar.SubclassWindow(barPeer->Handle());
  bar.SetRange(1, 500);
  bar.SetPos(500);
  const double barTime = MicrosecondsPerRun(kRuns, [&] {
    bar.Invalidate();
    bar.UpdateWindow();
  });

  auto *buttonPeer = new qt::QtPushButtonPeer(nullptr, 1, WS_CHILD | WS_TABSTOP, "Split");
  buttonPeer->resize(64, 21);
  ImageButton button;
  button.SubclassWindow(buttonPeer->Handle());
  const res::Skin &skin = res::kButtonSkin;
  button.SetStateImages(skin.bitmap, skin.frames, skin.top, skin.bottom, skin.left, skin.right);
  const double buttonTime = MicrosecondsPerRun(kRuns, [&] {
    button.Invalidate();
    button.UpdateWindow();
  });

  std::printf("full bar 138x16 paint:   %8.1f us\n", barTime);
  std::printf("button 64x21 draw:       %8.1f us\n", buttonTime);
  return 0;
}
