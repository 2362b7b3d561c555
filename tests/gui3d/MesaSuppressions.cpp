// Mesa's software driver keeps the state of its feedback render mode, which
// the drawing context tests read quads back through, past the end of its
// context; only the leak checker of sanitizer builds reads this, by this name.
// NOLINTNEXTLINE(bugprone-reserved-identifier,readability-identifier-naming)
extern "C" const char* __lsan_default_suppressions() {
    return "leak:swrast_dri.so\n";
}
