#include "platform/Port.h"
#include "platform/ComRuntime.h"

namespace orvane {
namespace {

// Linux has no COM: the XML parser needs no runtime of its own.
class ComRuntimePosix : public ComRuntime {
 public:
  bool InitializeMainThread() override { return false; }
  void UninitializeMainThread() override {}
};

}  // namespace

template <>
ComRuntime& PlatformAdapter<ComRuntime>() {
  static ComRuntimePosix adapter;
  return adapter;
}

}  // namespace orvane
