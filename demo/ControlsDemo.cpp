// Shows the gradient bar stepping through its range and the main dialog's skinned buttons in
// each of their states, to look at the controls outside the dialogs.
#include "controls/GradientProgressCtrl.h"
#include "controls/ImageButton.h"
#include "framework/Platform.h"
#include "framework/qt/QtControlPeers.h"
#include "res/Look.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace quorvel;
using namespace quorvel::fw;

using res::Skin;

struct ButtonLayout {
  const char *caption;
  Skin skin;
  int width, height;
  bool browse;
};
// The main dialog's buttons at its pixel size.
constexpr std::array kButtons{ButtonLayout{"...", res::kBrowseSkin, 32, 18, true},
                              ButtonLayout{"...", res::kBrowseSkin, 32, 18, true},
                              ButtonLayout{"Exit", res::kButtonSkin, 64, 23, false},
                              ButtonLayout{"Join", res::kButtonSkin, 64, 23, false},
                              ButtonLayout{"Split", res::kButtonSkin, 64, 23, false}};

// The states a button can be drawn in; pressed and focused ones are forced for the picture.
enum class State { Normal, Focused, Pressed, Disabled };
constexpr std::array kStates{State::Normal, State::Focused, State::Pressed, State::Disabled};
constexpr std::array kStateNames{"normal", "focused", "pressed", "disabled"};

// An image button that paints in a fixed state whatever the platform says.
class StateButton : public ImageButton {
public:
  explicit StateButton(State state) : m_state(state) {}

  void DrawItem(LPDRAWITEMSTRUCT drawItem) override {
    drawItem->itemState = m_state == State::Focused    ? ODS_FOCUS
                          : m_state == State::Pressed  ? ODS_FOCUS | ODS_SELECTED
                          : m_state == State::Disabled ? ODS_DISABLED
                                                       : 0;
    ImageButton::DrawItem(drawItem);
  }

private:
  State m_state;
};

// A row of the main dialog's buttons for each state, each labelled with its state.
std::vector<std::unique_ptr<StateButton>> MakeButtonRows(QWidget &window) {
  std::vector<std::unique_ptr<StateButton>> buttons;
  for (std::size_t row = 0; row < kStates.size(); ++row) {
    auto *label = new QLabel(kStateNames[row], &window);
    label->move(10, 14 + 36 * static_cast<int>(row));
    int x = 80;
    for (const ButtonLayout &layout : kButtons) {
      auto *peer =
          new qt::QtPushButtonPeer(&window, 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP, layout.caption);
      peer->setGeometry(x, 10 + 36 * static_cast<int>(row) + (layout.browse ? 3 : 0), layout.width,
                        layout.height);
      auto &button = *buttons.emplace_back(std::make_unique<StateButton>(kStates[row]));
      button.SubclassWindow(peer->Handle());
      button.SetStateImages(layout.skin.bitmap, layout.skin.frames, layout.skin.top,
                            layout.skin.bottom, layout.skin.left, layout.skin.right);
      if (layout.browse)
        button.SetCaptionColor(res::ColourRef(res::kBrowseCaptionColour));
      x += layout.width + 8;
    }
  }
  return buttons;
}

// `bar` over a bar control at `y`, as the main dialog has it, with the range 1 to 500.
void AttachBar(QWidget &window, UINT id, int y, GradientProgressCtrl &bar) {
  auto *peer = new qt::QtProgressPeer(&window, id, WS_CHILD | WS_VISIBLE | PBS_SMOOTH);
  peer->setGeometry(80, y, 138, 16);
  bar.SubclassWindow(peer->Handle());
  bar.SetRange(1, 500);
  bar.m_crBack = res::ColourRef(res::kDialogColour);
}

int RunDemo(int argc, char **argv) {
  QWidget window;
  window.setWindowTitle("Quorvel controls");
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, QColor(res::kDialogColour.red, res::kDialogColour.green,
                                            res::kDialogColour.blue));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  window.resize(460, 250);
  const std::vector<std::unique_ptr<StateButton>> buttons = MakeButtonRows(window);

  GradientProgressCtrl bar;
  AttachBar(window, 1034, 170, bar);
  bar.m_bShowPercentage = TRUE;
  bar.SetPos(500);
  // A second bar held part-way, as during a split.
  GradientProgressCtrl part;
  AttachBar(window, 1035, 200, part);
  part.SetPos(argc > 1 ? std::atoi(argv[1]) : 180);

  int position = 1;
  QTimer stepper;
  QObject::connect(&stepper, &QTimer::timeout, [&] {
    position = position >= 500 ? 1 : position + 7;
    bar.SetPos(position);
  });
  stepper.start(40);

  window.show();
  return QApplication::exec();
}

} // namespace

int main(int argc, char **argv) {
  // The display opened as the program opens it, in the same style.
  const CString name = "quorvel-controls-demo";
  CString problem;
  if (!platform::OpenDisplay(argc, argv, name, problem)) {
    std::fprintf(stderr, "%s: %s\n", name.c_str(), problem.c_str());
    return 1;
  }
  AfxSetResourceHandle(&res::ProgramResources());
  res::DeclareFaceStandIns();
  const int status = RunDemo(argc, argv);
  platform::CloseDisplay();
  return status;
}
