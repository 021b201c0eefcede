#pragma once
// What the Windows adapters that use COM on their own share: a scope in which the calling thread
// is in an apartment, and the text of a failing status.

#include <windows.h>
#include <objbase.h>

#include <string>

namespace orvane {

// A thread that is not yet in COM joins an apartment for the scope only; one that already is
// stays as it was.
class ScopedComApartment {
 public:
  ScopedComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ScopedComApartment() {
    if (joined_) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;

 private:
  bool joined_;
};

inline std::string HresultText(HRESULT result) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(result));
  return text;
}

}  // namespace orvane
