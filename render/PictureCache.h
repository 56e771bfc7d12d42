// Pictures a page draws (HTML images, the tiled background), kept decoded
// and, where a picture is drawn at another size, kept scaled, so repainting
// a page neither reads nor resamples a file again. What the last two pages
// did not use is let go, so a long illustrated book does not pile up.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "platform/Bitmap.h"

namespace rpv {

class TPictureCache {
 public:
  // The picture of a CP932 path, or nullptr when it cannot be loaded.
  const TBitmap24* Get(std::string_view path);
  // The picture resampled to width x height (the picture itself at its own
  // size); nullptr when it cannot be loaded or the size is not positive.
  const TBitmap24* GetScaled(std::string_view path, int width, int height);

  // Marks a page boundary: entries unused during the page before the last
  // one are released.
  void NextPage();
  // Forgets everything (a new document or style; files may have changed).
  void Clear();

 private:
  struct Entry {
    std::optional<TBitmap24> Picture;
    unsigned LastUse = 0;
  };
  struct Scaled {
    std::unique_ptr<TBitmap24> Picture;
    unsigned LastUse = 0;
  };
  unsigned page_ = 1;
  std::map<std::string, Entry, std::less<>> pictures_;
  std::map<std::tuple<std::string, int, int>, Scaled> scaled_;
};

}  // namespace rpv
