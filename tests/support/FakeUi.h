#pragma once
// Recording fakes of the dialog and application ports.

#include <deque>
#include <string>
#include <vector>

#include "tests/support/ScopedPort.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"

namespace orvane::testing {

struct ShownDialog {
  std::string kind;  // "message", "warning", "error", "yesno"
  std::string text;
  bool operator==(const ShownDialog&) const = default;
};

class FakeDialogs : public Dialogs {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back({"message", text}); }
  void MessageWarning(const std::string& text) override { shown.push_back({"warning", text}); }
  void MessageError(const std::string& text) override { shown.push_back({"error", text}); }
  TModalResult AskWarningYesNo(const std::string& text) override {
    shown.push_back({"yesno", text});
    if (answers.empty()) return TModalResult::None;
    const TModalResult answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<ShownDialog> shown;
  std::deque<TModalResult> answers;  // the next Yes/No answers, None once used up
};

// What the fake application raises where the real one leaves the process (terminatedWith has the
// exit code): as there, the call that ends the program never returns.
struct ProgramEnded {};

class FakeApplication : public Application {
 public:
  void BringToFront() override { ++broughtToFront; }
  void ProcessMessages() override { ++messagesProcessed; }
  void Beep() override { ++beeps; }
  uint32_t LastOsError() override { return lastOsError; }

  int broughtToFront = 0;
  int messagesProcessed = 0;
  int beeps = 0;
  std::vector<int> terminatedWith;
  uint32_t lastOsError = 0;

 protected:
  [[noreturn]] void Exit(int exitCode) override {
    terminatedWith.push_back(exitCode);
    throw ProgramEnded{};
  }
};

// Puts both fakes in place for the lifetime of a test.
struct ScopedFakeUi {
  FakeDialogs dialogs;
  FakeApplication application;
  ScopedPort<Dialogs> dialogsPort{dialogs};
  ScopedPort<Application> applicationPort{application};
};

}  // namespace orvane::testing
