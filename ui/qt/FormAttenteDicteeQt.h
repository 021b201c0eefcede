#pragma once
// The Qt window behind a waiting window's view, for the view's own tests.

class QWidget;

namespace orvane {

class FormAttenteDicteeView;

// The top-level window of a Qt view; nullptr for any other view.
QWidget* FormAttenteDicteeWindow(FormAttenteDicteeView* view);

}  // namespace orvane
