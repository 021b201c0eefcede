#pragma once
// Ownership of the data-access objects: one created with an owner is freed with its owner.

#include <algorithm>
#include <vector>

namespace orvane {

class TFIBComponent {
 public:
  explicit TFIBComponent(TFIBComponent* owner) : owner_(owner) {
    if (owner_) owner_->owned_.push_back(this);
  }
  virtual ~TFIBComponent() {
    DestroyComponents();
    if (owner_) std::erase(owner_->owned_, this);
  }
  TFIBComponent(const TFIBComponent&) = delete;
  TFIBComponent& operator=(const TFIBComponent&) = delete;

  TFIBComponent* Owner() const { return owner_; }

 protected:
  // Frees the owned objects, the last created first. Derived destructors call it first, so
  // that the owned objects still see their owner whole.
  void DestroyComponents() {
    while (!owned_.empty()) delete owned_.back();
  }

 private:
  TFIBComponent* owner_;
  std::vector<TFIBComponent*> owned_;
};

}  // namespace orvane
