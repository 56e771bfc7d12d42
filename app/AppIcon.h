// The reader's icon (data/rpv.svg, compiled into the program), for the
// window and the about box.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace rpv {

// The icon drawn at size x size logical pixels for the given device pixel
// ratio.
QPixmap AppIconPixmap(int size, qreal ratio = 1.0);
// The icon at the usual sizes.
QIcon AppIcon();

}  // namespace rpv
