// The sanitizer build checks for leaks when the process ends. Some system libraries that
// SDL loads (D-Bus) keep allocations until then on purpose: they are not ours to free,
// so they are not reported. Every other leak still is, and fails the run.
// Compiled into each program that links the SDL host (an interface source), so that the
// sanitizer runtime finds the hook.
#if defined(__SANITIZE_ADDRESS__)
#define ORV_CHECKS_LEAKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_CHECKS_LEAKS 1
#endif
#endif

#ifdef ORV_CHECKS_LEAKS
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
// Nor is the list of what was left out printed: the terminal shows the game's own lines.
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif
