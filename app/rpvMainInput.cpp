// Keys, mouse buttons, the wheel and drag gestures: each runs the command
// that ka.ini or ma.ini binds to it; the pointer also shows link targets.
#include <QCursor>
#include <QLabel>
#include <cstdlib>

#include "app/BookLoader.h"
#include "app/LayoutRunner.h"
#include "app/PageView.h"
#include "app/QtText.h"
#include "app/commands/DocumentSources.h"
#include "app/commands/NewcomerKeys.h"
#include "app/rpvMain.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

TPoint ToPoint(QPoint p) { return TPoint{p.x(), p.y()}; }

int32_t ButtonNumber(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return mbNone;
  }
}

}  // namespace

void TfrmRPV::LoadKeyAssignments() {
  KeyHandlers.Load(WithNewcomerKeys(ReadAssignmentLines(
      ExeDir + std::string(kKeyAssignmentFile), DefaultKeyAssignments())));
  ShowMenuKeys();
}

void TfrmRPV::LoadMouseAssignments() {
  MouseHandlers.Load(ReadAssignmentLines(ExeDir + std::string(kMouseAssignmentFile),
                                         DefaultMouseAssignments()));
}

void TfrmRPV::RunCommand(TCommand command) {
  if (!Book || loader_->Busy() || layout_->Waiting()) return;
  // A find's mark stays until the next command (bringing the find dialog
  // back is part of finding).
  const bool unmarked = command != TCommand::ShowFindDialog && ClearFindMark();
  switch (command) {
    case TCommand::PageBack: PageBack(); break;
    case TCommand::PageForward: PageForward(); break;
    case TCommand::LineBack: LineBack(); break;
    case TCommand::LineForward: LineForward(); break;
    case TCommand::GoHead: GoHead(); break;
    case TCommand::GoEnd: GoEnd(); break;
    case TCommand::OpenWithDialog: OpenWithDialog(); break;
    case TCommand::ReadClipboard: ReadClipboard(); break;
    case TCommand::ReloadDocument: ReloadDocument(); break;
    case TCommand::OpenPreviousHistory: OpenPreviousHistory(); break;
    case TCommand::PageJump: PageJump(); break;
    case TCommand::ShowFindDialog: ShowFindDialog(); break;
    case TCommand::ToggleFullScreen: ToggleFullScreen(); break;
    case TCommand::ToggleAutoPage: ToggleAutoPage(); break;
    case TCommand::ToggleAutoLine: ToggleAutoLine(); break;
    case TCommand::ToggleBlankLines: ToggleBlankLines(); break;
    case TCommand::ChangeStyle: ChangeStyle(); break;
    case TCommand::SetBookmark: SetBookmark(); break;
    case TCommand::ReadBookmark: ReadBookmark(); break;
    case TCommand::StartEditor: StartEditor(); break;
    case TCommand::OpenOtherSettings: OpenOtherSettings(); break;
    case TCommand::None: break;
  }
  // A command that drew nothing still takes the mark off the page.
  if (unmarked && pageDirty_ && Book) RepaintPage();
  RefreshLinkPopUp();
}

void TfrmRPV::FormKeyDown(int virtualKey, Qt::KeyboardModifiers modifiers,
                          Qt::MouseButtons buttons) {
  if (!Book) return;
  if (loader_->Busy()) {
    if (virtualKey == kVkEscape) loader_->Cancel();
    return;
  }
  if (layout_->Waiting()) {
    if (virtualKey == kVkEscape) layout_->StopWaiting();
    return;
  }
  const TKeyModifiers held = KeyModifiersOf(modifiers, buttons);
  const TCommand command = KeyHandlers.ForKey(virtualKey, held);
  RunCommand(command);
  // The command may have closed the window.
  if (!Book) return;
  if (command == TCommand::None) {
    switch (WindowKeyOf(ModifierTable(held), virtualKey)) {
      case TWindowKey::LeaveFullScreen:
        if (IsFullScreen()) ToggleFullScreen();
        break;
      case TWindowKey::Quit: close(); return;
      case TWindowKey::None: break;
    }
  }
  // Two keys act whatever is bound to them.
  if (virtualKey == kVkF6) Relayout();
  if (virtualKey == kVkR && (modifiers & Qt::ControlModifier)) OfferNeighbourFile(2);
}

bool TfrmRPV::focusNextPrevChild(bool) {
  // Tab and Shift+Tab are keys like any other here: ka.ini may bind them.
  return false;
}

void TfrmRPV::FormMouseDown(Qt::MouseButton button, QPoint screen) {
  ButtonDown = ButtonNumber(button);
  DownPos = screen;
}

void TfrmRPV::mwvMainMouseUp(Qt::MouseButton button, QPoint client, QPoint screen) {
  if (!Book) return;
  const int32_t released = ButtonNumber(button);
  if (released == mbLeft) {
    const std::string target = LinkTargetAt(client);
    if (!target.empty()) {
      FollowLink(target);
      return;
    }
  }
  // ButtonDown stays: only a modal dialog or the full-screen menu clears it.
  const int slot = MouseUpSlot(ButtonDown, ToPoint(DownPos), released, ToPoint(screen));
  if (slot >= 0) RunCommand(MouseHandlers.At(slot));
}

void TfrmRPV::FormMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
  // Some systems turn the wheel sideways while Alt is held; modifiers do
  // not matter here, so that still counts as the wheel.
  int delta = angleDelta.y();
  if (delta == 0 && (modifiers & Qt::AltModifier)) delta = angleDelta.x();
  const int32_t notches = wheel_.Feed(delta);
  const int slot = notches > 0 ? kSlotWheelUp : kSlotWheelDown;
  for (int32_t i = 0; i < std::abs(notches) && Book; ++i) RunCommand(MouseHandlers.At(slot));
}

std::string TfrmRPV::LinkTargetAt(QPoint client) const {
  if (!Book) return {};
  // Link rectangles are in page-bitmap (device) pixels.
  const qreal ratio = pageView_->devicePixelRatioF();
  return Book->Links.TargetAt(static_cast<int32_t>(client.x() * ratio),
                              static_cast<int32_t>(client.y() * ratio));
}

void TfrmRPV::FormMouseMove(QPoint client, QPoint screen) {
  if (IsFullScreen()) RevealMenu(client.y());
  LastMovePos = screen;
  ShowLinkPopUp(client);
}

void TfrmRPV::ShowLinkPopUp(QPoint client) {
  pageView_->setCursor(Qt::ArrowCursor);
  const std::string target = LinkTargetAt(client);
  if (target.empty()) {
    lblPopUp->hide();
    return;
  }
  const QString shown = ToQString(ResolveLinkTarget(target, CurrentDir));
  pageView_->setCursor(Qt::PointingHandCursor);
  if (lblPopUp->isVisible() && lblPopUp->text() == shown) return;
  lblPopUp->setTextFormat(Qt::PlainText);
  lblPopUp->setText(shown);
  lblPopUp->adjustSize();
  const TPoint at = PopUpPosition(ToPoint(client), lblPopUp->width(), pageView_->width());
  lblPopUp->move(at.X, at.Y);
  lblPopUp->show();
  lblPopUp->raise();
}

void TfrmRPV::RefreshLinkPopUp() {
  // A new page has other links: the pop-up and the hand must not go on
  // naming the old one until the pointer moves. A pointer the timer hid
  // stays hidden.
  if (!Book || pageView_->cursor().shape() == Qt::BlankCursor) {
    lblPopUp->hide();
    return;
  }
  const QPoint client = pageView_->mapFromGlobal(QCursor::pos());
  if (!pageView_->rect().contains(client)) {
    lblPopUp->hide();
    pageView_->setCursor(Qt::ArrowCursor);
    return;
  }
  ShowLinkPopUp(client);
}

}  // namespace rpv
