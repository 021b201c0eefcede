#include "app/OrvaneProgram.h"

#include "common/Global_FIB.h"
#include "common/Global_File.h"
#include "logging/ApplicationLogger.h"
#include "platform/Application.h"
#include "platform/ComRuntime.h"
#include "platform/Port.h"
#include "provisioning/VerificationPilotesSM.h"

namespace orvane {

TOrvaneProgram::TOrvaneProgram() : application_(Port<Application>()) {
  // COM serves the XML parser of the logging configuration, read on this thread by the first log
  // call, and the SpeechMike component.
  comJoined_ = Port<ComRuntime>().InitializeMainThread();
  currentSite_ = std::make_unique<TKaldCurrentSite>();
  application_.SetOrderlyEnd([this] { End(); });
}

TOrvaneProgram::~TOrvaneProgram() {
  application_.SetOrderlyEnd(nullptr);
  End();
}

void TOrvaneProgram::End() {
  if (ended_) return;
  ended_ = true;
  ReleaseAppLogger();
  if (comJoined_) Port<ComRuntime>().UninitializeMainThread();
  currentSite_.reset();
  ReleaseGlobalFIB();
  ReleaseGlobalFile();
}

}  // namespace orvane
