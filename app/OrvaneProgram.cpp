#include "app/OrvaneProgram.h"

#include "common/Port.h"
#include "logging/ApplicationLogger.h"
#include "logging/ComRuntime.h"
#include "provisioning/KaldCurrentSite.h"

namespace orvane {

TOrvaneProgram::TOrvaneProgram() {
  comJoined_ = Port<ComRuntime>().InitializeMainThread();
  CreateKaldCurrentSite();
}

TOrvaneProgram::~TOrvaneProgram() {
  ReleaseAppLogger();
  ReleaseKaldCurrentSite();
  if (comJoined_) Port<ComRuntime>().UninitializeMainThread();
}

}  // namespace orvane
