// Labels render through the platform's text output, whose font configuration library
// keeps its caches for the life of the process and never frees them; the leak checker
// of the sanitizer build must not count them against the tests of this program.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
