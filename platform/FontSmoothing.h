// The process-wide font-smoothing switch, the stand-in for the system's
// font-smoothing setting: off renders glyphs black and white, on renders them
// with grey-scale anti-aliasing. The page composer turns it off for a style
// that supersamples its text and puts it back afterwards.
#pragma once

namespace rpv {

bool FontSmoothing();
void SetFontSmoothing(bool on);

// Saves the switch on construction and restores it on destruction.
class TFontSmoothingSaver {
 public:
  TFontSmoothingSaver() : saved_(FontSmoothing()) {}
  ~TFontSmoothingSaver() { SetFontSmoothing(saved_); }
  TFontSmoothingSaver(const TFontSmoothingSaver&) = delete;
  TFontSmoothingSaver& operator=(const TFontSmoothingSaver&) = delete;
  bool Saved() const { return saved_; }

 private:
  bool saved_;
};

}  // namespace rpv
