#include <objbase.h>

#include "platform/Port.h"
#include "platform/ComRuntime.h"

namespace orvane {
namespace {

class ComRuntimeWin : public ComRuntime {
 public:
  bool InitializeMainThread() override { return CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED) == S_OK; }
  void UninitializeMainThread() override { CoUninitialize(); }
};

}  // namespace

template <>
ComRuntime& PlatformAdapter<ComRuntime>() {
  static ComRuntimeWin adapter;
  return adapter;
}

}  // namespace orvane
