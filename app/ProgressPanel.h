// The panel over the page that says the window is busy with the book (being
// read, being laid out): a line of text, a bar, and a cancel button. It
// keeps the application's colours, whatever the page's are.
#pragma once

#include <QFrame>
#include <functional>

class QLabel;
class QProgressBar;

namespace rpv {

class TProgressPanel : public QFrame {
 public:
  // A hidden panel over `page`; cancel runs when its button is pressed.
  TProgressPanel(QWidget* page, const QString& objectName, std::function<void()> cancel);
  void SetText(const QString& text);
  // A share from 0 to 100, or -1 for a bar that only says "busy".
  void SetProgress(int percent);
  // Shows the panel in the middle of the page, above everything on it;
  // with or without its cancel button.
  void ShowCentred(bool cancellable = true);

 private:
  QLabel* label_;
  QProgressBar* bar_;
  QWidget* cancel_;
};

}  // namespace rpv
