#pragma once
// Waiting-window views that record what the presenter asked them to draw.

#include <memory>
#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "ui/FormAttenteDictee.h"

namespace orvane::testing {

struct WaitingFrame {
  bool visible = false;
  std::string application, line1, line2;
  bool progressVisible = false;
  uint32_t position = 0, maximum = 0;
};

class FakeWaitingWindows : public WaitingWindows {
 public:
  std::unique_ptr<FormAttenteDicteeView> CreateView(const TFormAttenteDictee&) override {
    ++created;
    return std::make_unique<View>(*this);
  }

  int created = 0;
  int destroyed = 0;
  int messagesProcessed = 0;
  std::vector<WaitingFrame> frames;  // every drawing, in order

  // The detail lines shown over the window's life, each change once.
  std::vector<std::string> ShownLines() const {
    std::vector<std::string> lines;
    for (const WaitingFrame& frame : frames) {
      const std::string line = frame.application + " | " + frame.line1;
      if (frame.visible && frame.application.size() && (lines.empty() || lines.back() != line)) lines.push_back(line);
    }
    return lines;
  }

 private:
  class View : public FormAttenteDicteeView {
   public:
    explicit View(FakeWaitingWindows& owner) : owner_(owner) {}
    ~View() override { ++owner_.destroyed; }
    void Render(const TFormAttenteDictee& form) override {
      owner_.frames.push_back({form.Visible(), form.LabelApplication(), form.LabelCpt1(), form.LabelCpt2(),
                               form.ProgressVisible(), form.ProgressPosition(), form.ProgressMax()});
    }
    void ProcessMessages() override { ++owner_.messagesProcessed; }

   private:
    FakeWaitingWindows& owner_;
  };
};

struct ScopedFakeWaitingWindows {
  FakeWaitingWindows windows;
  ScopedPort<WaitingWindows> port{windows};
};

}  // namespace orvane::testing
