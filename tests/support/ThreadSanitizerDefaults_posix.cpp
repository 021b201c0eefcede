// The sound library makes some of its locks lazily on its own thread and publishes them through
// atomics of its uninstrumented code, so ThreadSanitizer takes the first lock by another thread
// for a race on the lock itself. Races on our data under those locks are still reported.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
extern "C" const char* __tsan_default_suppressions() { return "race:pa_mutex_lock\n"; }
#endif
#endif
