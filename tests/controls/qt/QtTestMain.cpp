#include "res/Look.h"
#include "res/Resources.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  // The controls paint into images; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  quorvel::fw::AfxSetResourceHandle(&quorvel::res::ProgramResources());
  quorvel::res::DeclareFaceStandIns();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
