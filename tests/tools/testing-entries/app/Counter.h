// A product header: every entry for testing here is declared or defined, none is used.
#pragma once

#include <vector>

namespace demo {

template <class T>
T* SwapForTesting(T* next);

class Counter {
 public:
  explicit Counter(int start) : count_(start) {}
  int Next();
  int CountForTesting() const { return count_; }
  std::vector<int> HistoryForTesting() const;
  static Counter& InstanceForTesting();
  const Counter& SelfForTesting() const;
  virtual void ResetForTesting() = 0;

 private:
  int count_;
};

}  // namespace demo
