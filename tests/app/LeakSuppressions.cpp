// Libraries below Qt that keep a few bytes until the process ends: fontconfig
// (its configuration, once per process) and D-Bus (the xcb platform's
// connection, under a real display). The leak checker of sanitizer builds is
// told so, and reports everything else.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libdbus-1.so\n";
}
