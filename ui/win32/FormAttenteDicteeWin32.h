#pragma once
// The Win32 window behind a waiting window's view, for the view's own tests.

#include <windows.h>

namespace orvane {

class FormAttenteDicteeView;

// The top-level window of a Win32 view; nullptr for any other view.
HWND FormAttenteDicteeWindow(FormAttenteDicteeView* view);

}  // namespace orvane
