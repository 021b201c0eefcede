// A product source with planted uses; the test expects exactly the lines marked "use".
#include "app/Counter.h"

#include "app/CallsForTesting.h"

namespace demo {

std::vector<int> Counter::HistoryForTesting() const { return {}; }

Counter& Counter::InstanceForTesting() {
  static Counter counter(0);
  return counter;
}

const Counter&
Counter::SelfForTesting() const {
  return *this;
}

template <class T>
T* demo::SwapForTesting(T* next) {
  return next;
}

int Counter::Next() {
  // CountForTesting() in a comment, "CountForTesting()" in a string: no use.
  const char* note = R"(ResetForTesting())";
  return note[0] + ++count_;
}

int Report(Counter& counter, Counter* other) {
  int total = counter.CountForTesting();  // use
  total += other->CountForTesting();  // use
  total += Counter::InstanceForTesting().Next();  // use
  if (demo::SwapForTesting<Counter>(other)) ++total;  // use
  auto history = &Counter::HistoryForTesting;  // use
  return total + !CountForTesting();  // use
}

int Wrapped(Counter& counter) {
  return counter
      .CountForTesting();  // use
}

}  // namespace demo
