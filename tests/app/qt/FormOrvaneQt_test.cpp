// The tester's Qt window and the simulated SpeechMike's window, clicked like a user clicks them.
#include "app/qt/FormOrvaneQt.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyle>

#include <gtest/gtest.h>

#include "device/simulated/qt/SimulatedSpeechMikeWindow.h"
#include "platform/Port.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "support/FakeClock.h"
#include "support/FakeSoundDevices.h"
#include "support/FakeUi.h"
#include "support/HangLimit.h"
#include "support/LogCapture.h"
#include "support/SoundSignals.h"
#include "support/TestSoundServer.h"
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

// Lets the window run, its timers included, until Done holds; false when only a hang would get
// there.
template <class Done>
bool RunUntil(Done&& done) {
  QElapsedTimer bound;
  bound.start();
  while (!done()) {
    if (bound.elapsed() > testing::kHangLimit.count()) return false;
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  }
  return true;
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

class FormOrvaneQtTest : public ::testing::Test {
 protected:
  FormOrvaneQtTest() {
    // The SpeechMike's microphone beside the station's own, the default.
    sound.devices.devices.capture = {{"in", "Micro interne"}, {"spm-in", "SpeechMike III"}};
    sound.devices.devices.playback = {{"spm-out", "SpeechMike III"}};
    sound.devices.devices.defaultCapture = "in";
  }
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
  testing::ScopedFakeSoundDevices sound;
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

  device.ClearCallsForTesting();
  Click(form.ButtonDesactiver());
  EXPECT_EQ(device.CallsForTesting(), (std::vector<std::string>{"SetDisplayState(0,1)", "SetDisplayState(0,5)",
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
  device.ClearCallsForTesting();
  form.close();
  Settle();
  EXPECT_TRUE(closed);
  EXPECT_EQ(device.CallsForTesting(), (std::vector<std::string>{"SetDisplayState(0,1)", "UninitializeDevice()",
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
  // Never narrower or lower than designed: the groups would cover the lights and the buttons.
  form.resize(form.width() - 400, form.height() - 300);
  Settle();
  EXPECT_EQ(form.size(), QSize(kFormOrvaneClientWidth, kFormOrvaneClientHeight));
  EXPECT_EQ(form.RadioGroupLumiere()->geometry(), lights);
}

// A technician on the keyboard: Space on "Activer", then on "Désactiver". The focus goes on to
// the button just enabled each time, never to a light that the next Space would switch on.
TEST_F(FormOrvaneQtTest, TheKeyboardsFocusGoesOnToTheButtonJustEnabled) {
  const auto space = [](QWidget* widget) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, " ");
      QApplication::sendEvent(widget, &event);
    }
    Settle();
  };
  form.ButtonActiver()->setFocus();
  space(form.ButtonActiver());
  EXPECT_TRUE(device.Active());
  EXPECT_EQ(form.focusWidget(), form.ButtonDesactiver());
  space(form.focusWidget());
  EXPECT_FALSE(device.Active());
  EXPECT_EQ(form.focusWidget(), form.ButtonActiver());
  EXPECT_TRUE(Light(kLumiereOff)->isChecked());
}

// The button check and the device status, with a tick counter the test sets.
class FormOrvaneQtCheckTest : public FormOrvaneQtTest {
 protected:
  // A press or release as the device's window sends it, handled at Tick.
  void At(uint32_t tick, QWidget* button, bool down) {
    clock.clock.tickCount = tick;
    if (down) MouseDown(button);
    else MouseUp(button);
    Settle();
  }
  void PressAndRelease(const QString& caption, uint32_t tick, uint32_t hold) {
    QPushButton* button = deviceWindow.Button(caption);
    ASSERT_NE(button, nullptr) << caption.toStdString();
    At(tick, button, true);
    At(tick + hold, button, false);
  }
  QString Cell(size_t button) { return form.ButtonCheckCell(button)->text(); }

  testing::ScopedFakeClock clock;
};

// Qt draws a group box's title above its frame, where Win32 draws it on the frame: what each group
// holds must stand inside the contents rectangle that the style computes, a radio button no lower
// than its indicator, and the groups apart from each other and from the window's other controls.
TEST_F(FormOrvaneQtCheckTest, EachGroupHoldsItsControlsInsideItsContentsRectangle) {
  const int indicator = form.style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight);
  const QList<QWidget*> controls = form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QGroupBox* box : form.findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
    const std::string title = box->title().toStdString();
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      EXPECT_TRUE(box->contentsRect().contains(child->geometry())) << title;
      if (qobject_cast<QRadioButton*>(child)) EXPECT_GE(child->height(), indicator) << title;
    }
    for (QWidget* other : controls)
      if (other != box) EXPECT_FALSE(box->geometry().intersects(other->geometry())) << title;
  }

  // The button check follows the window's right and bottom sides, the device status its right side.
  const QRect check = form.ButtonCheckGroup()->geometry();
  const QRect status = form.DeviceStatusGroup()->geometry();
  form.resize(form.width() + 100, form.height() + 50);
  Settle();
  EXPECT_EQ(form.ButtonCheckGroup()->geometry(), check.translated(100, 50));
  EXPECT_EQ(form.DeviceStatusGroup()->geometry(), status.translated(100, 0));
}

TEST_F(FormOrvaneQtCheckTest, TheDeviceWindowsButtonsFillTheCellsAndClearingEmptiesThem) {
  Click(form.ButtonActiver());
  QPushButton* record = deviceWindow.Button("Record");
  At(1000, record, true);
  EXPECT_EQ(Cell(2), "Record\nenfoncé");
  At(1250, record, false);
  EXPECT_EQ(Cell(2), "Record\n250 ms");
  EXPECT_TRUE(form.ButtonCheckCell(2)->styleSheet().contains(
      QString("#%1").arg(ButtonStateColour(TButtonState::Verified), 6, 16, QChar('0'))));
  EXPECT_EQ(form.ButtonCheckProgress()->text().toStdString(), "1 / 23 boutons vérifiés");
  // Read back as a screen reader reads it.
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form.ButtonCheckCell(2))->text(QAccessible::Name).toStdString(),
            "Record : vérifié, 250 ms");

  // A release without its press, typed as a code.
  deviceWindow.CodeField()->setText("59");
  Click(deviceWindow.SendButton());
  EXPECT_EQ(Cell(22), "Smart 3\nsans appui");

  Click(form.ButtonVideMemo());
  EXPECT_EQ(Cell(2), "Record\n");
  EXPECT_EQ(Cell(22), "Smart 3\n");
  EXPECT_EQ(form.ButtonCheckProgress()->text().toStdString(), "0 / 23 boutons vérifiés");
}

// Every key released without a press: each cell shows its caption and its reason whole, in the
// window's font, inside its heaviest border, and the border shows against the cell's colour.
TEST_F(FormOrvaneQtCheckTest, EveryCellShowsItsTwoLinesWholeWithinAVisibleBorder) {
  Click(form.ButtonActiver());
  for (const TSpeechMikeButton& button : kSpeechMikeButtons) device.PressButton(button.release);
  Settle();
  for (size_t i = 0; i < kSpeechMikeButtonCount; ++i) {
    QLabel* cell = form.ButtonCheckCell(i);
    const QFontMetrics metrics = cell->fontMetrics();
    EXPECT_EQ(cell->font(), form.font());
    const QRect inside = cell->contentsRect();
    EXPECT_GE(inside.height(), 2 * metrics.height()) << i;
    for (const QString& line : cell->text().split('\n'))
      EXPECT_LE(metrics.horizontalAdvance(line), inside.width()) << line.toStdString();
    const QImage image = cell->grab().toImage();
    EXPECT_NE(image.pixelColor(0, image.height() / 2), QColor(QRgb(ButtonStateColour(TButtonState::Suspect))));
  }
  EXPECT_EQ(Cell(21), "Programmable 1\nsans appui");
}

TEST_F(FormOrvaneQtCheckTest, AKeyStillDownAfter30SecondsTurnsStuckWithoutAnyOtherEvent) {
  Click(form.ButtonActiver());
  At(100, deviceWindow.Button("F4"), true);
  clock.clock.tickCount = 30101;
  // The window's timer looks at the held keys now and then; wait for it, not for a time.
  QElapsedTimer bound;
  bound.start();
  while (Cell(18) != QString::fromUtf8("F4\nbloqué") && bound.elapsed() < testing::kHangLimit.count())
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  EXPECT_EQ(Cell(18).toStdString(), "F4\nbloqué");
}

// The status's lines wrap at word ends rather than being cut; an unplugged device forgets its
// battery, and its window offers no key until it is plugged in again.
TEST_F(FormOrvaneQtCheckTest, PluggingAndTheBatteryChoiceReachTheStatusInWholeLines) {
  Click(form.ButtonActiver());
  Click(deviceWindow.PlugButton());
  QComboBox* battery = deviceWindow.BatteryChoice();
  ASSERT_GE(battery->count(), 4);
  battery->setCurrentIndex(3);
  emit battery->activated(3);
  Settle();
  QLabel* status = form.DeviceStatusText();
  EXPECT_EQ(status->text().toStdString(),
            "Connexion : connecté (1) à 14:05:00\nBatterie : 3 à 14:05:00\nSans fil : —\nStation d'accueil : —");
  EXPECT_LE(status->minimumSizeHint().width(), status->width());
  EXPECT_LE(status->heightForWidth(status->width()), status->height());
  EXPECT_EQ(QAccessible::queryAccessibleInterface(status)->text(QAccessible::Name).toStdString(),
            "État du micro : Connexion : connecté (1) à 14:05:00 ; Batterie : 3 à 14:05:00 ; "
            "Sans fil : aucun événement ; Station d'accueil : aucun événement");

  clock.clock.now = EncodeDateTime(2024, 3, 5, 14, 6, 30);
  Click(deviceWindow.UnplugButton());
  EXPECT_FALSE(deviceWindow.Button("Stop")->isEnabled());
  EXPECT_EQ(status->text().toStdString(),
            "Connexion : déconnecté (1) à 14:06:30\nBatterie : —\nSans fil : —\nStation d'accueil : —");
}

// Both windows side by side with a check half done, saved beside the other screenshots.
TEST_F(FormOrvaneQtCheckTest, AHalfDoneCheckIsShownAndSavedAsAScreenshot) {
  Click(form.ButtonActiver());
  Click(deviceWindow.PlugButton());
  deviceWindow.BatteryChoice()->setCurrentIndex(2);
  emit deviceWindow.BatteryChoice()->activated(2);
  uint32_t tick = 10000;
  for (const char* caption : {"Stop", "Play", "Record", "Insert", "EOL", "Rewind", "Forward", "Priority", "Command",
                              "Play/Stop", "Trigger"}) {
    PressAndRelease(caption, tick, 90 + tick % 170);
    tick += 1000;
  }
  deviceWindow.CodeField()->setText("49");  // F3's release without its press
  Click(deviceWindow.SendButton());
  At(tick, deviceWindow.Button("Smart 2"), true);
  EXPECT_EQ(form.ButtonCheckProgress()->text(), QString::fromUtf8("11 / 23 boutons vérifiés"));
  EXPECT_EQ(Cell(17).toStdString(), "F3\nsans appui");
  EXPECT_EQ(Cell(20), QString::fromUtf8("Smart 2\nenfoncé"));
  EXPECT_EQ(Cell(15), "F1\n");

  const QImage tester = form.grab().toImage();
  const QImage device = deviceWindow.grab().toImage();
  QImage shot(tester.width() + 8 + device.width(), std::max(tester.height(), device.height()), QImage::Format_RGB32);
  shot.fill(Qt::darkGray);
  QPainter painter(&shot);
  painter.drawImage(0, 0, tester);
  painter.drawImage(tester.width() + 8, 0, device);
  painter.end();
  const QString folder = qEnvironmentVariableIsSet("ORVANE_SCREENSHOTS")
                             ? qEnvironmentVariable("ORVANE_SCREENSHOTS")
                             : QString(ORVANE_SOURCE_DIR) + "/build/screenshots";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = folder + "/orvane-linux-check.png";
  EXPECT_TRUE(shot.save(path)) << path.toStdString();
}

// The sound group, its blocks delivered from the test's thread as the adapter's thread would.

constexpr TSoundFormat kCaptureFormat{TSampleType::Float32, 2, 48000};

void Key(QWidget* widget, Qt::Key key, const QString& text = {}) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
  }
  Settle();
}

class FormOrvaneQtSoundTest : public FormOrvaneQtTest {
 protected:
  QLabel* Label(TSoundPart part) { return qobject_cast<QLabel*>(form.SoundPart(part)); }
  std::string Text(TSoundPart part) { return Label(part)->text().toStdString(); }
  void Deliver(const testing::SoundSignal& signal) {
    testing::DeliverInBlocks(signal, 480, [&](const TSoundBlock& block) { sound.devices.Deliver(block); });
  }
  // Whether the window's own refresh comes to show Text in Part.
  bool Shows(TSoundPart part, const std::string& text) { return RunUntil([&] { return Text(part) == text; }); }
};

// The window refreshes the group by itself; every text fits its line, a fault its two lines;
// saturation shows in words, colour and a heavy border; a fault takes the level's place.
TEST_F(FormOrvaneQtSoundTest, TheGroupShowsTheMeterAtTheWindowsOwnRefresh) {
  Click(form.ButtonActiver());
  Deliver(testing::Sine(kCaptureFormat, 0.05, 1000, -20));
  ASSERT_TRUE(Shows(kSoundLevel, "-20,0 dBFS")) << Text(kSoundLevel);
  EXPECT_EQ(form.SoundPart(kSoundBar)->accessibleName().toStdString(), "Niveau : -20,0 dBFS");
  EXPECT_TRUE(Label(kSoundSaturation)->styleSheet().isEmpty());
  // The bar's fill where two thirds of it stand, and past them.
  const auto barColour = [&](double at) {
    const QImage bar = form.SoundPart(kSoundBar)->grab().toImage();
    return bar.pixelColor(static_cast<int>(bar.width() * at), bar.height() / 2);
  };
  const QColor normal = barColour(0.3);
  EXPECT_EQ(barColour(0.8), QColor(Qt::white));

  Deliver(testing::Square(kCaptureFormat, 0.1, 1000, 0));
  ASSERT_TRUE(Shows(kSoundSaturation, "saturation : oui"));
  EXPECT_TRUE(Label(kSoundSaturation)->styleSheet().contains("border: 2px"));
  // Full, and red.
  const QColor saturated = barColour(0.8);
  EXPECT_NE(saturated, normal);
  EXPECT_GT(saturated.red(), 2 * saturated.green()) << saturated.name().toStdString();

  // Silence brings the widest figure, a recording the longest activity: each fits its line.
  Deliver(testing::Zeros(kCaptureFormat, 3 * 48000));
  ASSERT_TRUE(Shows(kSoundSilence, "silence : oui"));
  EXPECT_EQ(Text(kSoundLevel), "< -100,0 dBFS");
  Click(form.SoundPart(kSoundRecord));
  EXPECT_EQ(Text(kSoundActivity), "Enregistrement de 5 s...");
  for (TSoundPart part : {kSoundDevice, kSoundDefault, kSoundActivity, kSoundLevel, kSoundSaturation, kSoundSilence}) {
    QLabel* label = Label(part);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width()) << Text(part);
    EXPECT_GE(label->contentsRect().height(), label->fontMetrics().height()) << Text(part);
  }

  // Held by another program at the next activation: the fault, on its two lines, instead.
  Click(form.ButtonDesactiver());
  sound.devices.failCapture = TSoundFault::Busy;
  Click(form.ButtonActiver());
  QLabel* fault = Label(kSoundFault);
  EXPECT_TRUE(fault->isVisible());
  EXPECT_EQ(Text(kSoundFault), "Micro occupé par un autre programme (mode exclusif)");
  EXPECT_LE(fault->heightForWidth(fault->width()), fault->height());
  for (TSoundPart part : {kSoundBar, kSoundLevel, kSoundSaturation, kSoundSilence})
    EXPECT_FALSE(form.SoundPart(part)->isVisible()) << part;
}

// A technician on the keyboard: Tab goes on from "ShowMessage de GetTickCount" to "Enregistrer
// 5 s"; Space there leaves the focus in the group, never on "Désactiver", and once the recording
// is ready the focus is on "Réécouter", which Space plays.
TEST_F(FormOrvaneQtSoundTest, TheKeyboardRecordsAndReplaysWithoutLeavingTheGroup) {
  Click(form.ButtonActiver());
  Deliver(testing::Sine(kCaptureFormat, 0.05, 1000, -20));
  ASSERT_TRUE(RunUntil([&] { return form.SoundPart(kSoundRecord)->isEnabled(); }));
  form.Button1()->setFocus();
  Key(form.Button1(), Qt::Key_Tab);
  ASSERT_EQ(form.focusWidget(), form.SoundPart(kSoundRecord));
  Key(form.focusWidget(), Qt::Key_Space, " ");
  EXPECT_EQ(Text(kSoundActivity), "Enregistrement de 5 s...");
  EXPECT_EQ(form.focusWidget(), form.SoundGroup());
  Deliver(testing::Sine(kCaptureFormat, 5.0, 1000, -12));
  ASSERT_TRUE(RunUntil([&] { return form.focusWidget() == form.SoundPart(kSoundReplay); }));
  Key(form.focusWidget(), Qt::Key_Space, " ");
  EXPECT_EQ(sound.devices.played.size(), 1u);
  EXPECT_EQ(form.focusWidget(), form.SoundGroup());
  EXPECT_TRUE(device.Active());
}

// The platform's sound adapter against a private server whose SpeechMike microphone carries a
// tone of -20 dBFS.
class FormOrvaneQtSoundServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.show();
    Settle();
  }
  std::string Text(TSoundPart part) { return qobject_cast<QLabel*>(form.SoundPart(part))->text().toStdString(); }

  // Started first and stopped last: the window's meter is its client.
  testing::TestSoundServer server;
  testing::ScopedFakeUi ui;
  testing::TesterWorkstation workstation;
  SimulatedSpeechMike device;
  ScopedPort<SpeechMikeComponent> devicePort{device};
  TFormOrvaneQt form;
};

TEST_F(FormOrvaneQtSoundServerTest, AToneOnTheSpeechMikeIsReadBackFromTheGroup) {
  server.Feed(testing::Sine(testing::TestSoundServer::kMicrophoneFormat, 1.0, 1000, -20));
  testing::LogCapture log;
  Click(form.ButtonActiver());
  ASSERT_TRUE(RunUntil([&] { return !Text(kSoundLevel).empty() || form.SoundPart(kSoundFault)->isVisible(); }));
  ASSERT_FALSE(form.SoundPart(kSoundFault)->isVisible()) << Text(kSoundFault);
  EXPECT_EQ(Text(kSoundDevice), "« SpeechMike III »");
  EXPECT_EQ(Text(kSoundDefault), "par défaut : non");
  const QString level = QString::fromStdString(Text(kSoundLevel));
  EXPECT_TRUE(level.endsWith(" dBFS")) << Text(kSoundLevel);
  EXPECT_NEAR(level.section(' ', 0, 0).replace(',', '.').toDouble(), -20, 0.5) << Text(kSoundLevel);
  EXPECT_EQ(Text(kSoundSaturation), "saturation : non");
  EXPECT_EQ(Text(kSoundSilence), "silence : non");
  Click(form.ButtonDesactiver());
  const std::string summary = log.Messages().back();
  EXPECT_TRUE(summary.starts_with("Vérification du son : « SpeechMike III » ; par défaut : non ; crête -")) << summary;
  EXPECT_TRUE(summary.ends_with(" ; saturation : non ; silence : non")) << summary;
}

}  // namespace
}  // namespace orvane
