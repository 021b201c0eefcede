// orvane: the tester window and, beside it, the simulated SpeechMike's window.
#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <exception>

#include <sys/socket.h>
#include <unistd.h>

#include "app/OrvaneProgram.h"
#include "device/simulated/qt/DeviceWindowPlacement.h"
#include "app/qt/FormOrvaneQt.h"
#include "device/simulated/qt/SimulatedSpeechMikeWindow.h"
#include "platform/CommandLine.h"
#include "device/simulated/SimulatedSpeechMike.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // What Qt leaves of argv once it has taken its own options.
  orvane::SetCommandLineArguments(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  int exitCode = 0;
  try {
    orvane::TOrvaneProgram program;
    orvane::TFormOrvaneQt form;
    orvane::TSimulatedSpeechMikeWindow device(orvane::TheSimulatedSpeechMike());
    QObject::connect(&form, &orvane::TFormOrvaneQt::Closed, &application, &QApplication::quit);

    // SIGTERM and SIGINT close the tester as its close box does, so FormClose still runs.
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
      auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &form);
      QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
        char byte;
        [[maybe_unused]] const ssize_t got = read(signalPipe[0], &byte, 1);
        form.close();
      });
      std::signal(SIGTERM, OnSignal);
      std::signal(SIGINT, OnSignal);
    }

    form.show();
    orvane::ShowDeviceWindowBesideTester(form, device);
    exitCode = application.exec();
  } catch (const std::exception& e) {
    orvane::TFormOrvane::ShowHandlerError(e);
    exitCode = 1;
  }
  return exitCode;
}
