// rpv: the reader. "rpv [FILE]" opens the window; "--render" and "--pages"
// run the headless renderer, which needs no display and so runs before any
// Qt application object exists.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/RenderCommand.h"
#include "platform/FileIO.h"

#ifdef RPV_WITH_GUI
#include <QApplication>

#include "app/rpvMain.h"
#endif

int main(int argc, char** argv) {
  if (rpv::IsRenderCommand(argc, argv)) return rpv::RunRenderCommand(argc, argv);
#ifdef RPV_WITH_GUI
  QApplication app(argc, argv);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    // History and bookmarks keep paths: a relative one would name another
    // file once the reader starts from another folder.
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(argv[i], ec);
    if (ec) path = argv[i];
    args.push_back(rpv::FromNativePath(path.lexically_normal()));
  }
  rpv::TfrmRPV window(std::move(args));
  window.FormCreate();
  return QApplication::exec();
#else
  std::fprintf(stderr, "rpv: built without the window; use rpv --render\n");
  return 2;
#endif
}
