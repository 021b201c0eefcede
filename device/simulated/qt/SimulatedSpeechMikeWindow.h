#pragma once
// The simulated SpeechMike's own window: its buttons (pressed on mouse-down, released on
// mouse-up), a field that sends any event code, plugging and unplugging, a battery state to send,
// its display state by name and colour, and the level of its microphone when the demo gave it one.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <vector>

#include "device/simulated/SimulatedMicrophone.h"

namespace orvane {

class SimulatedSpeechMike;
class TSimulatedMicrophone;

class TSimulatedSpeechMikeWindow : public QWidget {
  Q_OBJECT
 public:
  // Without a microphone its level control is disabled.
  explicit TSimulatedSpeechMikeWindow(SimulatedSpeechMike& device, TSimulatedMicrophone* microphone = TheSimulatedMicrophone(),
                                      QWidget* parent = nullptr);
  ~TSimulatedSpeechMikeWindow() override;

  QPushButton* Button(const QString& caption) const;
  QLineEdit* CodeField() const { return codeField_; }
  QPushButton* SendButton() const { return sendButton_; }
  QPushButton* PlugButton() const { return plugButton_; }
  QPushButton* UnplugButton() const { return unplugButton_; }
  // Choosing an item sends its battery state.
  QComboBox* BatteryChoice() const { return batteryChoice_; }
  QLabel* Display() const { return display_; }
  QLabel* Status() const { return status_; }
  // The microphone's level in dBFS, and what it reads.
  QSlider* MicrophoneLevel() const { return microphoneLevel_; }
  QLabel* MicrophoneLevelText() const { return microphoneLevelText_; }

  // The display state's colour as the window shows it.
  static QColor DisplayColour(uint32_t state);

 public slots:
  void Refresh();

 private:
  void SendCode();
  void ShowMicrophoneLevel();

  SimulatedSpeechMike& device_;
  std::vector<QPushButton*> buttons_;
  QLineEdit* codeField_;
  QPushButton* sendButton_;
  QPushButton* plugButton_;
  QPushButton* unplugButton_;
  QComboBox* batteryChoice_;
  QLabel* display_;
  QLabel* status_;
  TSimulatedMicrophone* microphone_;
  QSlider* microphoneLevel_;
  QLabel* microphoneLevelText_;
};

}  // namespace orvane
