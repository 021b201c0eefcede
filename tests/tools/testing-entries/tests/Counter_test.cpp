// Tests may use every entry for testing.
#include "app/Counter.h"

int Test(demo::Counter& counter) { return counter.CountForTesting() + demo::Counter::InstanceForTesting().Next(); }
