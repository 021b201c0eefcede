#include "device/simulated/qt/DeviceWindowPlacement.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "device/simulated/WindowPlacement.h"

namespace orvane {
namespace {

TRect FromQt(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

void PlaceAndShow(QWidget& tester, QWidget& device) {
  device.adjustSize();
  if (const QScreen* screen = tester.screen()) {
    // The device window has no frame before it is shown: it will get the tester's decorations,
    // none without a window manager.
    const QSize decorations = tester.frameGeometry().size() - tester.geometry().size();
    const QSize deviceFrame = device.size() + decorations;
    const TWindowPlacement placement = PlaceDeviceWindow(
        FromQt(screen->availableGeometry()), FromQt(tester.frameGeometry()), deviceFrame.width(), deviceFrame.height());
    // move() places a window's frame.
    if (QPoint(placement.tester.left, placement.tester.top) != tester.frameGeometry().topLeft())
      tester.move(placement.tester.left, placement.tester.top);
    device.move(placement.device.left, placement.device.top);
  }
  device.show();
}

// Waits for the tester's first exposure, then places and shows the device window once.
class TFirstExposure : public QObject {
 public:
  TFirstExposure(QWidget& tester, QWidget& device) : QObject(tester.windowHandle()), tester_(&tester), device_(&device) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && tester_ && tester_->windowHandle()->isExposed()) {
      watched->removeEventFilter(this);
      if (device_) PlaceAndShow(*tester_, *device_);
      deleteLater();
    }
    return false;
  }

 private:
  QPointer<QWidget> tester_;
  QPointer<QWidget> device_;
};

}  // namespace

void ShowDeviceWindowBesideTester(QWidget& tester, QWidget& device) {
  QWindow* window = tester.windowHandle();
  if (window == nullptr || window->isExposed()) {
    PlaceAndShow(tester, device);
    return;
  }
  window->installEventFilter(new TFirstExposure(tester, device));
}

}  // namespace orvane
