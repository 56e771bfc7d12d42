#include "app/AppIcon.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

#include "app/AppIconSvg.h"

namespace rpv {

QPixmap AppIconPixmap(int size, qreal ratio) {
  QSvgRenderer svg(QByteArray::fromRawData(kAppIconSvg, sizeof kAppIconSvg - 1));
  if (!svg.isValid()) return {};
  const int device = static_cast<int>(std::lround(size * ratio));
  QPixmap pixmap(device, device);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

}  // namespace rpv
