// fontconfig 2.14 loses a few bytes while it parses its configuration
// files, once per process; the leak checker of sanitizer builds is told so,
// and reports everything else.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
