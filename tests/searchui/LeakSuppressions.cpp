// Fontconfig keeps its caches until the process ends; the leak checker of
// the sanitizer build is told so instead of failing the window tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
