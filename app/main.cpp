// rpv: the reader's entry point. "--render" and "--pages" run the headless
// renderer; until the window exists, anything else reports what it reads
// from the file named on the command line.
#include <cstdio>
#include <string>

#include "app/RenderCommand.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

int main(int argc, char** argv) {
  if (rpv::IsRenderCommand(argc, argv)) return rpv::RunRenderCommand(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: rpv FILE\n       rpv --render OUT.png [--page N] [--size WxH] [--dpi D] [--style NAME] FILE\n");
    return 2;
  }
  const std::string path = rpv::Utf8ToCp932(argv[1]);
  const auto data = rpv::ReadWholeFile(path);
  if (!data) {
    std::fprintf(stderr, "rpv: cannot open %s\n", argv[1]);
    return 1;
  }
  std::printf("%s: %zu bytes\n", argv[1], data->size());
  return 0;
}
