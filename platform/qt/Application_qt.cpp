// The application under Qt: its top-level widgets, its event loop, the process.
#include <QApplication>
#include <QWidget>
#include <cerrno>

#include "platform/Port.h"
#include "platform/Application.h"

namespace orvane {

namespace {

class QtApplication : public Application {
 public:
  void BringToFront() override {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return;  // no windows
    QWidget* front = QApplication::activeWindow();
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (!widget->isVisible() && !widget->isMinimized()) continue;
      if (widget->isMinimized()) widget->showNormal();
      widget->raise();
      if (front == nullptr) front = widget;
    }
    if (front != nullptr) front->activateWindow();
  }

  void ProcessMessages() override {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
  }

  void Beep() override {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) QApplication::beep();
  }
  uint32_t LastOsError() override { return static_cast<uint32_t>(errno); }
};

}  // namespace

template <>
Application& PlatformAdapter<Application>() {
  static QtApplication adapter;
  return adapter;
}

}  // namespace orvane
