// The bracket annotations of e-texts that turn text into character markup:
// headings, bold, italic, size steps, side lines, emphasis marks of every
// kind, tate-chu-yoko, boxes, warichu, captions, kanbun marks, notes and
// ruby on either side, figures. The annotation pass (TextConvert.cpp) hands
// each annotation body here first; what is not one of these goes on to the
// layout annotations and the side-note rule there.
//
// Three forms of each style:
//   X［＃「X」は太字］            the quoted text right before the annotation
//   ［＃太字］X［＃太字終わり］    a range on one line (closed at the line end
//                                 when its end does not come)
//   ［＃ここから太字］ … ［＃ここで太字終わり］  whole source lines between, put
//                                 around each line in order by TStyleBlocks
// The quoted text is found by its visible characters, so ruby groups and
// tags inside it do not hide it; when it cannot be found the annotation
// becomes a side note (nothing is dropped silently).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

class TEmitted;
class TLineText;

// A style that lasts over whole source lines: its start puts Open in front
// of every following line and Close after it, until an end with its Key.
struct TStyleBlockEvent {
  bool Start = true;
  std::string Key;
  std::string Open;
  std::string Close;
};

enum class TInlineResult {
  NotMine,    // not one of these annotations
  Done,       // converted into `out`
  BlockLine,  // a block start or end: its line goes when nothing else is on it
};

// Converts the annotations of one source line (one per Apply, in order).
class TInlineAnnotator {
 public:
  // fontPixels / rubyPixels size ruby as MakeRuby does; pictures are taken
  // from fileDir.
  TInlineAnnotator(int fontPixels, int rubyPixels, std::string_view fileDir);

  // body: the text between "［＃" and "］"; rest: the line after "］".
  TInlineResult Apply(std::string_view body, std::string_view rest, TEmitted& out);
  // At the line end: closes the ranges whose end did not come.
  void Finish(TEmitted& out);
  // The block starts and ends the line held, in order.
  std::vector<TStyleBlockEvent> TakeBlockEvents() { return std::move(events_); }

  // What one annotation name does.
  struct TStyle {
    enum class TKind { Wrap, Marks, Note } Kind = TKind::Wrap;
    std::string Key;            // what the end of a range or block names
    std::string Open, Close;    // Wrap: the tags around the text
    std::string Mark;           // Marks: one per character
    std::string Reading;        // Note: the note or ruby (from the end of a range)
    bool Left = false;          // Marks, Note: on the other side
    bool Warichu = false;       // Wrap in brackets unless the text has them
  };

 private:
  struct TOpenRange {
    TStyle Style;
    size_t Mark;  // Marks, Note: where the range starts (TEmitted mark)
  };
  std::string Transform(const TStyle& style, const std::string& tail) const;
  void CloseRange(size_t k, std::string_view rest, TEmitted& out);

  int fontPixels_;
  int rubyPixels_;
  std::string_view fileDir_;
  std::vector<TOpenRange> open_;
  std::vector<TStyleBlockEvent> events_;
};

// The block styles in force, carried from source line to source line in
// order (the annotation pass's Commit).
class TStyleBlocks {
 public:
  void Apply(const std::vector<TStyleBlockEvent>& events);
  bool Active() const { return !open_.empty(); }
  // Puts the styles in force around a line's text.
  void Dress(std::string& text) const;
  void Dress(TLineText& text) const;

 private:
  std::vector<TStyleBlockEvent> open_;
};

}  // namespace rpv
