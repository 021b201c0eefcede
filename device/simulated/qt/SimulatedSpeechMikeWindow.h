#pragma once
// The simulated SpeechMike's own window: its buttons (pressed on mouse-down, released on
// mouse-up), a field that sends any event code, plugging and unplugging, a battery state to send,
// and its display state by name and colour.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <vector>

namespace orvane {

class SimulatedSpeechMike;

class TSimulatedSpeechMikeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TSimulatedSpeechMikeWindow(SimulatedSpeechMike& device, QWidget* parent = nullptr);
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

  // The display state's colour as the window shows it.
  static QColor DisplayColour(uint32_t state);

 public slots:
  void Refresh();

 private:
  void SendCode();

  SimulatedSpeechMike& device_;
  std::vector<QPushButton*> buttons_;
  QLineEdit* codeField_;
  QPushButton* sendButton_;
  QPushButton* plugButton_;
  QPushButton* unplugButton_;
  QComboBox* batteryChoice_;
  QLabel* display_;
  QLabel* status_;
};

}  // namespace orvane
