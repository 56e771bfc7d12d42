#include "platform/FontSmoothing.h"

#include <atomic>

namespace rpv {
namespace {
// On by default, as on a desktop that smooths screen fonts.
std::atomic<bool> g_smoothing{true};
}  // namespace

bool FontSmoothing() { return g_smoothing.load(std::memory_order_relaxed); }
void SetFontSmoothing(bool on) { g_smoothing.store(on, std::memory_order_relaxed); }

}  // namespace rpv
