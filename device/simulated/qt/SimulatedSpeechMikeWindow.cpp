#include "device/simulated/qt/SimulatedSpeechMikeWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "app/SpeechMikeButtons.h"
#include "device/simulated/SimulatedSpeechMike.h"
#include "device/SpeechMikeComponent.h"

namespace orvane {

QColor TSimulatedSpeechMikeWindow::DisplayColour(uint32_t state) {
  switch (state) {
    case spmDisplayStatePlay:
    case spmDisplayStateFastForward:
    case spmDisplayStateFastRewind: return QColor(0, 170, 0);
    case spmDisplayStateRecordInsert:
    case spmDisplayStateRecordOverwrite: return QColor(220, 0, 0);
    case spmDisplayStateRecordStandbyInsert:
    case spmDisplayStateRecordStandbyOverwrite: return QColor(255, 140, 0);
    case spmDisplayStateCommand: return QColor(230, 200, 0);
    case spmDisplayStateRecordStandbyCommand: return QColor(200, 120, 0);
    case spmDisplayStateInstruction: return QColor(0, 90, 220);
    case spmDisplayStateIdentifyDevice: return QColor(170, 0, 200);
    default: return QColor(60, 60, 60);  // Stop, VorStop and no state: lights off
  }
}

TSimulatedSpeechMikeWindow::TSimulatedSpeechMikeWindow(SimulatedSpeechMike& device, TSimulatedMicrophone* microphone,
                                                       QWidget* parent)
    : QWidget(parent), device_(device), microphone_(microphone) {
  setWindowTitle("SpeechMike (simulation)");
  auto* layout = new QVBoxLayout(this);

  display_ = new QLabel(this);
  display_->setAlignment(Qt::AlignCenter);
  display_->setMinimumHeight(36);
  display_->setAutoFillBackground(true);
  layout->addWidget(display_);
  status_ = new QLabel(this);
  status_->setAlignment(Qt::AlignCenter);
  layout->addWidget(status_);

  auto* keys = new QGroupBox("Boutons", this);
  auto* grid = new QGridLayout(keys);
  grid->setSpacing(3);
  constexpr int kColumns = 4;
  for (size_t i = 0; i < kSpeechMikeButtons.size(); ++i) {
    const TSpeechMikeButton& key = kSpeechMikeButtons[i];
    auto* button = new QPushButton(key.caption, keys);
    button->setToolTip(QString("%1 / %2").arg(key.press).arg(key.release));
    button->setFocusPolicy(Qt::NoFocus);
    // The device reports the press when the button goes down and the release when it comes up.
    connect(button, &QPushButton::pressed, this, [this, code = key.press] { device_.PressButton(code); });
    connect(button, &QPushButton::released, this, [this, code = key.release] { device_.PressButton(code); });
    grid->addWidget(button, static_cast<int>(i) / kColumns, static_cast<int>(i) % kColumns);
    buttons_.push_back(button);
  }
  layout->addWidget(keys);

  auto* send = new QHBoxLayout();
  send->addWidget(new QLabel("Code :", this));
  codeField_ = new QLineEdit(this);
  codeField_->setPlaceholderText("0 - 4294967295");
  send->addWidget(codeField_, 1);
  sendButton_ = new QPushButton("Envoyer", this);
  send->addWidget(sendButton_);
  layout->addLayout(send);
  connect(sendButton_, &QPushButton::clicked, this, &TSimulatedSpeechMikeWindow::SendCode);
  connect(codeField_, &QLineEdit::returnPressed, this, &TSimulatedSpeechMikeWindow::SendCode);

  // The device's own events: plugged in (1), unplugged (2), a battery state (5).
  auto* link = new QHBoxLayout();
  plugButton_ = new QPushButton("Brancher", this);
  unplugButton_ = new QPushButton(QString::fromUtf8("Débrancher"), this);
  batteryChoice_ = new QComboBox(this);
  batteryChoice_->setPlaceholderText("Batterie");
  for (int state = 0; state <= 4; ++state) batteryChoice_->addItem(QString("Batterie %1").arg(state), state);
  batteryChoice_->setCurrentIndex(-1);
  link->addWidget(plugButton_);
  link->addWidget(unplugButton_);
  link->addWidget(batteryChoice_, 1);
  layout->addLayout(link);
  connect(plugButton_, &QPushButton::clicked, this, [this] { device_.RaiseEvent(1); });
  connect(unplugButton_, &QPushButton::clicked, this, [this] { device_.RaiseEvent(2); });
  connect(batteryChoice_, &QComboBox::activated, this,
          [this](int index) { device_.RaiseEvent(5, batteryChoice_->itemData(index).toUInt()); });

  // The microphone's level: the tone's peak, down to silence at the left end.
  auto* sound = new QHBoxLayout();
  sound->addWidget(new QLabel("Micro :", this));
  microphoneLevel_ = new QSlider(Qt::Horizontal, this);
  microphoneLevel_->setRange(static_cast<int>(TSimulatedMicrophone::kSilentDb), 0);
  microphoneLevel_->setValue(microphone_ ? static_cast<int>(microphone_->Level()) : static_cast<int>(TSimulatedMicrophone::kSilentDb));
  microphoneLevel_->setEnabled(microphone_ != nullptr);
  if (!microphone_) microphoneLevel_->setToolTip(QString::fromUtf8("Pas de micro simulé : la démonstration utilise le service audio du poste"));
  microphoneLevelText_ = new QLabel(this);
  microphoneLevelText_->setMinimumWidth(70);
  sound->addWidget(microphoneLevel_, 1);
  sound->addWidget(microphoneLevelText_);
  layout->addLayout(sound);
  connect(microphoneLevel_, &QSlider::valueChanged, this, [this](int db) {
    if (microphone_) microphone_->SetLevel(db);
    ShowMicrophoneLevel();
  });
  ShowMicrophoneLevel();

  // The device calls back on the window thread; redraw once the call has returned.
  device_.SetOnChanged([this] { QTimer::singleShot(0, this, &TSimulatedSpeechMikeWindow::Refresh); });
  Refresh();
}

TSimulatedSpeechMikeWindow::~TSimulatedSpeechMikeWindow() { device_.SetOnChanged(nullptr); }

QPushButton* TSimulatedSpeechMikeWindow::Button(const QString& caption) const {
  for (QPushButton* button : buttons_)
    if (button->text() == caption) return button;
  return nullptr;
}

void TSimulatedSpeechMikeWindow::SendCode() {
  bool ok = false;
  const qulonglong code = codeField_->text().trimmed().toULongLong(&ok);
  if (!ok || code > 0xFFFFFFFFull) {
    codeField_->selectAll();
    status_->setText("Code invalide : un nombre de 0 à 4294967295");
    return;
  }
  device_.PressButton(static_cast<uint32_t>(code));
  // The next code typed replaces this one; Enter alone sends it again.
  codeField_->selectAll();
  Refresh();
}

void TSimulatedSpeechMikeWindow::ShowMicrophoneLevel() {
  const int db = microphoneLevel_->value();
  if (!microphone_)
    microphoneLevelText_->setText(QString::fromUtf8("—"));
  else if (db <= TSimulatedMicrophone::kSilentDb)
    microphoneLevelText_->setText("silence");
  else
    microphoneLevelText_->setText(QString("%1 dBFS").arg(db));
}

void TSimulatedSpeechMikeWindow::Refresh() {
  const uint32_t state = device_.DisplayState();
  const std::string name = SpmDisplayStateName(state);
  display_->setText(name.empty() ? QString("(aucun état)") : QString::fromStdString(name));
  const QColor colour = DisplayColour(state);
  display_->setStyleSheet(QString("QLabel { background-color: %1; color: white; font-weight: bold; }").arg(colour.name()));
  const bool plugged = device_.Plugged();
  const char* status = !plugged                ? "débranché"
                       : device_.Active()      ? "activé"
                       : device_.Initialized() ? "initialisé"
                                               : "inactif";
  status_->setText(QString::fromUtf8("Micro ") + QString::fromUtf8(status));
  // Unplugged, the device has nothing to send but its return.
  for (QPushButton* button : buttons_) button->setEnabled(plugged);
  sendButton_->setEnabled(plugged);
  unplugButton_->setEnabled(plugged);
}

}  // namespace orvane
