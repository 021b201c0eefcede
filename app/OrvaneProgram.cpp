#include "app/OrvaneProgram.h"

#include "common/Port.h"
#include "logging/ApplicationLogger.h"
#include "logging/ComRuntime.h"
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
