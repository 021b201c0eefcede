// The window thread under Qt: a queued invocation on the application object.
#include <QCoreApplication>
#include <QMetaObject>
#include <stdexcept>

#include "platform/Port.h"
#include "platform/WindowThread.h"

namespace orvane {

namespace {
class QtWindowThread : public WindowThread {
 public:
  void Post(std::function<void()> work) override {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) throw std::logic_error("WindowThread::Post sans QApplication");
    QMetaObject::invokeMethod(application, std::move(work), Qt::QueuedConnection);
  }
};
}  // namespace

template <>
WindowThread& PlatformAdapter<WindowThread>() {
  static QtWindowThread adapter;
  return adapter;
}

}  // namespace orvane
