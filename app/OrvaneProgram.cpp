#include "app/OrvaneProgram.h"

#include "platform/Port.h"
#include "logging/ApplicationLogger.h"
#include "platform/ComRuntime.h"
#include "provisioning/VerificationPilotesSM.h"

namespace orvane {

TOrvaneProgram::TOrvaneProgram() {
  comJoined_ = Port<ComRuntime>().InitializeMainThread();
  KaldCurrentSite();
}

TOrvaneProgram::~TOrvaneProgram() {
  ReleaseAppLogger();
  if (comJoined_) Port<ComRuntime>().UninitializeMainThread();
}

}  // namespace orvane
