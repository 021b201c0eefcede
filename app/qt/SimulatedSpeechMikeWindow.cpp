#include "app/qt/SimulatedSpeechMikeWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "device/SimulatedSpeechMike.h"
#include "device/SpeechMikeComponent.h"

namespace orvane {

const std::vector<TSimulatedButton> kSimulatedButtons = {
    {"Stop", 2, 3},           {"Play", 4, 5},           {"Record", 6, 7},          {"Insert", 8, 9},
    {"EOL", 10, 11},          {"Rewind", 12, 13},       {"Forward", 14, 15},       {"Priority", 16, 17},
    {"Command", 18, 19},      {"Play/Stop", 20, 21},    {"Trigger", 22, 23},       {"Menu up", 34, 35},
    {"Menu down", 36, 37},    {"Menu", 38, 39},         {"Instruction", 42, 43},   {"F1", 44, 45},
    {"F2", 46, 47},           {"F3", 48, 49},           {"F4", 50, 51},            {"Smart 1", 52, 53},
    {"Smart 2", 54, 55},      {"Programmable 1", 56, 57}, {"Smart 3", 58, 59},
};

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

TSimulatedSpeechMikeWindow::TSimulatedSpeechMikeWindow(SimulatedSpeechMike& device, QWidget* parent)
    : QWidget(parent), device_(device) {
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
  for (size_t i = 0; i < kSimulatedButtons.size(); ++i) {
    const TSimulatedButton& key = kSimulatedButtons[i];
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

void TSimulatedSpeechMikeWindow::Refresh() {
  const uint32_t state = device_.DisplayState();
  const std::string name = SpmDisplayStateName(state);
  display_->setText(name.empty() ? QString("(aucun état)") : QString::fromStdString(name));
  const QColor colour = DisplayColour(state);
  display_->setStyleSheet(QString("QLabel { background-color: %1; color: white; font-weight: bold; }").arg(colour.name()));
  const char* status = device_.Active() ? "activé" : device_.Initialized() ? "initialisé" : "inactif";
  status_->setText(QString::fromUtf8("Micro ") + QString::fromUtf8(status));
}

}  // namespace orvane
