// The OpenGL drivers (Mesa's software renderer under Xvfb) run worker threads
// of their own and are not built with the thread sanitizer, which then takes
// their handshakes for races. Only thread-sanitizer builds read this.
extern "C" const char* __tsan_default_suppressions() {
    return "race:_dri.so\n"
           "called_from_lib:_dri.so\n";
}
