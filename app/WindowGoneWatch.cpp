#include "app/WindowGoneWatch.h"

#include <QWidget>
#include <cstdint>
#include <cstring>

namespace rpv {
namespace {

// The parts of xcb's DestroyNotify event this needs (its layout is fixed by
// the X11 protocol), so no xcb headers are required.
constexpr uint8_t kDestroyNotify = 17;
constexpr size_t kWindowOffset = 8;  // response_type, pad, sequence, event, window

}  // namespace

bool TWindowGoneWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t" || message == nullptr) return false;
  const auto* bytes = static_cast<const uint8_t*>(message);
  if ((bytes[0] & 0x7F) != kDestroyNotify) return false;
  uint32_t window = 0;
  std::memcpy(&window, bytes + kWindowOffset, sizeof window);
  const WId own = window_.internalWinId();
  if (own != 0 && window == static_cast<uint32_t>(own) && onGone_) onGone_();
  return false;
}

}  // namespace rpv
