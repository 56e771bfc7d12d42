// The headless face of the reader:
//
//   rpv --render OUT.png [--page N] [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE
//   rpv --pages [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE
//   rpv --text [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE
//
// lays FILE out with a style of info.ini in the program's folder (the first
// one when no name is given; a missing info.ini is created with the default
// style) and the enabled filters of tool.ini, exactly as the window would,
// then writes page N as PNG, prints the number of pages, or prints the
// display lines as UTF-8 text (markup removed, ruby as 《reading》 after its
// base), one a line. An archive FILE
// (lzh, zip, rar) needs --member: its full name in the archive or its bare
// file name; it is extracted into the program's "archive" folder first.
#pragma once

#include <string_view>

namespace rpv {

// True when the arguments ask for the renderer rather than the window.
bool IsRenderCommand(int argc, const char* const* argv);

// The usage lines of the renderer, as it prints them.
std::string_view RenderUsage();

// Runs it: 0 on success, 2 for bad arguments, 1 when the work fails. Every
// failure is explained on standard error.
int RunRenderCommand(int argc, const char* const* argv);

}  // namespace rpv
