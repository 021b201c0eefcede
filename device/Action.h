#pragma once
// Named commands that a host gives a handler to, and the list that holds them.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class TAction {
 public:
  explicit TAction(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  // Runs the handler a host attached; false when there is none.
  bool Execute() {
    if (!OnExecute) return false;
    auto handler = OnExecute;  // the handler may replace itself
    handler(*this);
    return true;
  }
  std::function<void(TAction& Sender)> OnExecute;

 private:
  std::string name_;
};

class TActionList {
 public:
  TAction& Add(std::string name) {
    actions_.push_back(std::make_unique<TAction>(std::move(name)));
    return *actions_.back();
  }
  TAction* Find(std::string_view name) const {
    for (const auto& action : actions_)
      if (action->Name() == name) return action.get();
    return nullptr;
  }
  // Frees the action; false when the list does not hold it.
  bool Free(const TAction* action) {
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
      if (it->get() == action) {
        actions_.erase(it);
        return true;
      }
    }
    return false;
  }
  size_t Count() const { return actions_.size(); }
  TAction& operator[](size_t index) const { return *actions_.at(index); }

 private:
  std::vector<std::unique_ptr<TAction>> actions_;
};

}  // namespace orvane
