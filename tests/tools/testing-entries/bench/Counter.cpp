// So may benchmarks.
#include "app/Counter.h"

int Bench(demo::Counter& counter) { return counter.CountForTesting(); }
