#pragma once
// The simulated SpeechMike's own window: its buttons (pressed on mouse-down, released on
// mouse-up), a field that sends any event code, and its display state by name and colour.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <vector>

namespace orvane {

class SimulatedSpeechMike;

// A button of the device and the event codes it sends.
struct TSimulatedButton {
  const char* caption;
  uint32_t press;
  uint32_t release;
};
extern const std::vector<TSimulatedButton> kSimulatedButtons;

class TSimulatedSpeechMikeWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TSimulatedSpeechMikeWindow(SimulatedSpeechMike& device, QWidget* parent = nullptr);
  ~TSimulatedSpeechMikeWindow() override;

  QPushButton* Button(const QString& caption) const;
  QLineEdit* CodeField() const { return codeField_; }
  QPushButton* SendButton() const { return sendButton_; }
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
  QLabel* display_;
  QLabel* status_;
};

}  // namespace orvane
