// What assistive technology reads of the dialogs: the accessible tree Qt builds from the widgets,
// which it hands to AT-SPI on the desktop.
#include "framework/Platform.h"
#include "framework/qt/QtWindowPeer.h"
#include "res/DialogTemplates.h"
#include "tests/app/AppTestSupport.h"

#include <QAccessible>
#include <QApplication>

namespace quorvel::test {
namespace {

using namespace res;
using fw::qt::WidgetOf;

using QtAccessibilityTest = DialogTest;

QAccessibleInterface *Accessible(HWND window) {
  return QAccessible::queryAccessibleInterface(WidgetOf(window));
}

QString NameOf(QAccessibleInterface *object) { return object->text(QAccessible::Name); }

TEST_F(QtAccessibilityTest, EveryControlHasTheRoleAndNameOfWhatItIs) {
  struct Expected {
    unsigned id;
    QAccessible::Role role;
    const char *name;
  };
  for (const auto &[id, role, name] : {
           Expected{IDC_SPLIT, QAccessible::Button, "Split"},
           Expected{IDC_JOIN, QAccessible::Button, "Join"},
           Expected{IDC_EXIT, QAccessible::Button, "Exit"},
           Expected{IDC_BROWSE_SOURCE, QAccessible::Button, "Choose the source file"},
           Expected{IDC_BROWSE_DEST, QAccessible::Button, "Choose the destination folder"},
           Expected{IDC_MODE_SPLIT, QAccessible::RadioButton, "Split File"},
           Expected{IDC_MODE_JOIN, QAccessible::RadioButton, "Join File"},
           Expected{IDC_SOURCE_PATH, QAccessible::EditableText, "Choose a source file:"},
           Expected{IDC_DEST_FOLDER, QAccessible::EditableText, "Select a folder to save:"},
           Expected{IDC_SIZE_LIST, QAccessible::ComboBox, "1.4M"},
           Expected{IDC_PROGRESS, QAccessible::ProgressBar, "Progress"},
           Expected{IDC_STATUS, QAccessible::StaticText, "Status"},
       }) {
    QAccessibleInterface *control = Accessible(Control(id));
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->role(), role) << id;
    if (name) {
      EXPECT_EQ(NameOf(control), QString::fromUtf8(name)) << id;
    }
  }
  EXPECT_EQ(TextOf(IDC_BROWSE_SOURCE), "...") << "the caption stays";

  // The size list's name is its value; what it is, its label says, beside its frame's title.
  QStringList sizeLabels;
  for (const auto &[label, relation] :
       Accessible(Control(IDC_SIZE_LIST))->relations(QAccessible::Label))
    sizeLabels << NameOf(label);
  EXPECT_TRUE(sizeLabels.contains("Piece size")) << sizeLabels.join('|').toStdString();

  // The fields are labelled by the texts above them.
  for (unsigned id : {IDC_SOURCE_PATH, IDC_DEST_FOLDER}) {
    // Pairs of the other object and what it is to this one.
    const auto labels = Accessible(Control(id))->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1) << id;
    EXPECT_EQ(labels[0].first->role(), QAccessible::StaticText);
    EXPECT_EQ(NameOf(labels[0].first), NameOf(Accessible(Control(id))));
    EXPECT_TRUE(Accessible(Control(id))->state().readOnly);
  }

  QAccessibleInterface *frame = Accessible(dialog.m_hWnd);
  EXPECT_EQ(frame->role(), QAccessible::Dialog);
  EXPECT_EQ(NameOf(frame), "Quorvel File Splitter");
  // The frame's title names the group of what is inside it.
  for (unsigned id : {IDC_MODE_SPLIT, IDC_MODE_JOIN, IDC_SIZE_LIST}) {
    QAccessibleInterface *group = Accessible(Control(id))->parent();
    ASSERT_NE(group, nullptr) << id;
    EXPECT_EQ(group->role(), QAccessible::Grouping) << id;
    EXPECT_EQ(NameOf(group), "Options") << id;
    EXPECT_EQ(group->parent()->role(), QAccessible::Dialog);
  }
}

TEST_F(QtAccessibilityTest, StatesAndValuesFollowTheDialog) {
  EXPECT_TRUE(Accessible(Control(IDC_MODE_SPLIT))->state().checked);
  EXPECT_FALSE(Accessible(Control(IDC_MODE_JOIN))->state().checked);
  EXPECT_TRUE(Accessible(Control(IDC_JOIN))->state().disabled);
  QAccessibleValueInterface *bar = Accessible(Control(IDC_PROGRESS))->valueInterface();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->currentValue().toInt(), 500);
  EXPECT_EQ(bar->maximumValue().toInt(), 500);

  Click(IDC_MODE_JOIN);
  EXPECT_TRUE(Accessible(Control(IDC_MODE_JOIN))->state().checked);
  EXPECT_FALSE(Accessible(Control(IDC_MODE_SPLIT))->state().checked);
  EXPECT_FALSE(Accessible(Control(IDC_JOIN))->state().disabled);
  dialog.m_progress.SetRange(1, 3);
  dialog.m_progress.SetPos(2);
  EXPECT_EQ(bar->currentValue().toInt(), 2);
  dialog.m_strStatus = "2files joined";
  dialog.UpdateData(false);
  EXPECT_EQ(NameOf(Accessible(Control(IDC_STATUS))), "2files joined");
}

TEST(QtAboutAccessibilityTest, TheAboutBoxReadsAsItsTextsAndItsButton) {
  QStringList texts;
  QAccessible::Role button = QAccessible::NoRole;
  WhenModalWindowShows([&](HWND about) {
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(WidgetOf(about));
    for (int child = 0; child < box->childCount(); ++child) {
      QAccessibleInterface *control = box->child(child);
      if (control->role() == QAccessible::StaticText)
        texts << control->text(QAccessible::Name);
      if (control->text(QAccessible::Name) == "OK")
        button = control->role();
    }
    fw::platform::CloseModalWindow();
  });
  ApplicationDialog().SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
  EXPECT_TRUE(texts.contains("Quorvel File Splitter")) << texts.join('|').toStdString();
  EXPECT_TRUE(texts.contains("www.quorvel.example"));
  EXPECT_EQ(button, QAccessible::Button);
}

} // namespace
} // namespace quorvel::test
