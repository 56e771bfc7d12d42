#include "render/PictureCache.h"

#include "platform/Picture.h"
#include "render/class/BMPTools.h"

namespace rpv {

const TBitmap24* TPictureCache::Get(std::string_view path) {
  auto it = pictures_.find(path);
  if (it == pictures_.end()) {
    Entry entry;
    entry.Picture = LoadPicture(path);
    if (entry.Picture && entry.Picture->Empty()) entry.Picture.reset();
    it = pictures_.emplace(std::string(path), std::move(entry)).first;
  }
  it->second.LastUse = page_;
  return it->second.Picture ? &*it->second.Picture : nullptr;
}

const TBitmap24* TPictureCache::GetScaled(std::string_view path, int width, int height) {
  const TBitmap24* source = Get(path);
  if (source == nullptr || width <= 0 || height <= 0) return nullptr;
  if (source->Width() == width && source->Height() == height) return source;
  auto key = std::make_tuple(std::string(path), width, height);
  auto it = scaled_.find(key);
  if (it == scaled_.end()) {
    Scaled s;
    s.Picture = ScaleBitmap(*source, width, height);
    it = scaled_.emplace(std::move(key), std::move(s)).first;
  }
  it->second.LastUse = page_;
  return it->second.Picture.get();
}

void TPictureCache::NextPage() {
  ++page_;
  // Kept: whatever this page or the one before used (a window that flips
  // back and forth between two pages keeps both).
  std::erase_if(pictures_, [this](const auto& kv) { return kv.second.LastUse + 2 < page_; });
  std::erase_if(scaled_, [this](const auto& kv) { return kv.second.LastUse + 2 < page_; });
}

void TPictureCache::Clear() {
  pictures_.clear();
  scaled_.clear();
}

}  // namespace rpv
