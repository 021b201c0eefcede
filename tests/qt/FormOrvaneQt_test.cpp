// The tester's Qt window and the simulated SpeechMike's window, clicked like a user clicks them.
#include "app/qt/FormOrvaneQt.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/qt/SimulatedSpeechMikeWindow.h"
#include "common/Port.h"
#include "device/SimulatedSpeechMike.h"
#include "support/FakeUi.h"
#include "support/TesterWorkstation.h"

namespace orvane {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// A real press and release of the mouse on a widget.
void MouseDown(QWidget* widget) {
  QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
void MouseUp(QWidget* widget) {
  QMouseEvent event(QEvent::MouseButtonRelease, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
void Click(QWidget* widget) {
  MouseDown(widget);
  MouseUp(widget);
  Settle();
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

class FormOrvaneQtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    deviceWindow.show();
    Settle();
  }
  QRadioButton* Light(int item) { return qobject_cast<QRadioButton*>(form.LumiereButtons()->button(item)); }
  QRadioButton* Display(int item) { return qobject_cast<QRadioButton*>(form.DisplayButtons()->button(item)); }

  testing::ScopedFakeUi ui;
  testing::TesterWorkstation workstation;
  SimulatedSpeechMike device;
  ScopedPort<SpeechMikeComponent> devicePort{device};
  TFormOrvaneQt form;
  TSimulatedSpeechMikeWindow deviceWindow{device};
};

TEST_F(FormOrvaneQtTest, TheWindowShowsTheInitialStateWithTheGivenCaptionsAndGeometry) {
  EXPECT_EQ(form.windowTitle(), "Orvane - Pilotes de Philips");
  EXPECT_TRUE(form.ButtonActiver()->isEnabled());
  EXPECT_FALSE(form.ButtonDesactiver()->isEnabled());
  EXPECT_FALSE(form.ButtonExport()->isEnabled());
  EXPECT_EQ(form.ButtonDesactiver()->text(), QString::fromUtf8("Désactiver"));
  EXPECT_EQ(form.RadioGroupLumiere()->title(), QString::fromUtf8("Philips SpeechMike - Lumières"));
  EXPECT_EQ(form.ButtonActiver()->geometry(), QRect(16, 16, 153, 25));
  EXPECT_EQ(form.ListBoxCmd()->geometry(), QRect(16, 152, 953, 273));
  EXPECT_TRUE(Light(kLumiereOff)->isChecked());
  EXPECT_EQ(Light(kLumiereOff)->text(), "OFF");
  EXPECT_TRUE(Display(kDisplayCommandes)->isChecked());
  // Two columns of seven items: "OFF" ends the second one.
  EXPECT_EQ(Light(7)->x(), Light(13)->x());
  EXPECT_GT(Light(7)->x(), Light(6)->x());
  EXPECT_LT(Light(12)->y(), Light(13)->y());
}

TEST_F(FormOrvaneQtTest, ButtonsOfTheDeviceWindowReachTheListNewestFirst) {
  Click(form.ButtonActiver());
  EXPECT_FALSE(form.ButtonActiver()->isEnabled());
  EXPECT_TRUE(form.ButtonDesactiver()->isEnabled());

  QPushButton* record = deviceWindow.Button("Record");
  ASSERT_NE(record, nullptr);
  MouseDown(record);
  Settle();
  EXPECT_EQ(Items(form.ListBoxCmd()), QStringList{"1 - Action : spmRecordPressed - EventID = 6"});
  MouseUp(record);
  Settle();
  EXPECT_EQ(Items(form.ListBoxCmd()), (QStringList{"2 - Action : spmRecordReleased - EventID = 7",
                                                   "1 - Action : spmRecordPressed - EventID = 6"}));

  deviceWindow.CodeField()->setText("4294967295");
  Click(deviceWindow.SendButton());
  EXPECT_EQ(form.ListBoxCmd()->item(0)->text(), "3 - Action : Action inconnue - EventID = 4294967295");
  // A code typed next replaces the one sent.
  deviceWindow.CodeField()->insert("58");
  EXPECT_EQ(deviceWindow.CodeField()->text(), "58");

  // Not a code: nothing is sent.
  deviceWindow.CodeField()->setText("-1");
  Click(deviceWindow.SendButton());
  EXPECT_EQ(form.ListBoxCmd()->count(), 3);

  Click(form.ButtonVideMemo());
  EXPECT_EQ(form.ListBoxCmd()->count(), 0);
}

TEST_F(FormOrvaneQtTest, TheListLaysItsLinesOutInThreeOrFourColumns) {
  Click(form.ButtonActiver());
  QListWidget* list = form.ListBoxCmd();
  const auto columnWidth = [&] { return list->gridSize().width(); };
  EXPECT_EQ(columnWidth(), list->viewport()->width() / 3);

  Click(Display(kDisplayTicks));
  EXPECT_TRUE(form.ButtonExport()->isEnabled());
  EXPECT_EQ(columnWidth(), list->viewport()->width() / 4);

  // More lines than a column holds: the lines run down the first column, then on into the
  // second one from its top.
  const int rows = list->viewport()->height() / list->gridSize().height();
  ASSERT_GT(rows, 1);
  for (int i = 0; i < 2 * rows; ++i) device.PressButton(2);
  Settle();
  ASSERT_EQ(list->count(), 2 * rows);
  const QRect first = list->visualItemRect(list->item(0));
  int next = 1;
  while (next < list->count() && list->visualItemRect(list->item(next)).left() == first.left()) ++next;
  ASSERT_GT(next, 1);
  ASSERT_LT(next, list->count());
  EXPECT_GT(list->visualItemRect(list->item(next - 1)).top(), first.top());
  EXPECT_EQ(list->visualItemRect(list->item(next)).top(), first.top());
  EXPECT_EQ(list->visualItemRect(list->item(next)).left(), first.left() + columnWidth());

  Click(Display(kDisplayCommandes));
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(columnWidth(), list->viewport()->width() / 3);
}

TEST_F(FormOrvaneQtTest, LightsShowOnTheDeviceAndDeactivationPutsThemOff) {
  Click(form.ButtonActiver());
  Click(Light(5));
  EXPECT_EQ(device.DisplayState(), 6u);
  Settle();
  EXPECT_EQ(deviceWindow.Display()->text(), "spmDisplayStateRecordInsert");
  EXPECT_TRUE(deviceWindow.Display()->styleSheet().contains(TSimulatedSpeechMikeWindow::DisplayColour(6).name()));

  device.ClearCalls();
  Click(form.ButtonDesactiver());
  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"SetDisplayState(0,1)", "SetDisplayState(0,5)",
                                                      "UninitializeDevice()", "DeactivateDevice()"}));
  EXPECT_TRUE(Light(kLumiereOff)->isChecked());
  EXPECT_TRUE(form.ButtonActiver()->isEnabled());
}

TEST_F(FormOrvaneQtTest, ALightBeforeActivationReturnsTheGroupToOff) {
  Click(Light(2));
  ASSERT_EQ(ui.dialogs.shown.size(), 1u);
  EXPECT_EQ(ui.dialogs.shown[0].text, "Le Speechmike n'a pas été initialisé.  Veuillez l'activer d'abord.");
  EXPECT_TRUE(Light(kLumiereOff)->isChecked());
  EXPECT_FALSE(Light(2)->isChecked());
}

TEST_F(FormOrvaneQtTest, ClosingTheActiveWindowDeactivatesTheDevice) {
  Click(form.ButtonActiver());
  bool closed = false;
  QObject::connect(&form, &TFormOrvaneQt::Closed, [&] { closed = true; });
  device.ClearCalls();
  form.close();
  Settle();
  EXPECT_TRUE(closed);
  EXPECT_EQ(device.Calls(), (std::vector<std::string>{"SetDisplayState(0,1)", "UninitializeDevice()",
                                                      "DeactivateDevice()"}));
  EXPECT_FALSE(device.Active());
}

TEST_F(FormOrvaneQtTest, TheListFollowsEverySideAndTheLightsTheBottomWhenTheWindowGrows) {
  const QRect list = form.ListBoxCmd()->geometry();
  const QRect lights = form.RadioGroupLumiere()->geometry();
  const QRect activer = form.ButtonActiver()->geometry();
  form.resize(form.width() + 100, form.height() + 50);
  Settle();
  EXPECT_EQ(form.ListBoxCmd()->geometry(), list.adjusted(0, 0, 100, 50));
  EXPECT_EQ(form.RadioGroupLumiere()->geometry(), lights.translated(0, 50));
  EXPECT_EQ(form.ButtonActiver()->geometry(), activer);
  EXPECT_EQ(form.ListBoxCmd()->gridSize().width(), form.ListBoxCmd()->viewport()->width() / 3);
}

}  // namespace
}  // namespace orvane
