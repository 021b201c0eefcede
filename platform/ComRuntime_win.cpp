#include <objbase.h>

#include "platform/Port.h"
#include "platform/ComRuntime.h"

namespace orvane {
namespace {

class ComRuntimeWin : public ComRuntime {
 public:
  bool InitializeMainThread() override {
    // S_FALSE (already in this apartment) is a join too, and COM counts it.
    return SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  }
  void UninitializeMainThread() override { CoUninitialize(); }
};

}  // namespace

template <>
ComRuntime& PlatformAdapter<ComRuntime>() {
  static ComRuntimeWin adapter;
  return adapter;
}

}  // namespace orvane
