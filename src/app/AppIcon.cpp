#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace kelvara {

QImage AppIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0); // drawn on the SVG's 256-unit grid
    painter.setPen(QPen(QColor(0x3b, 0x5b, 0x8c), 6));
    painter.setBrush(QColor(0xdf, 0xe8, 0xf5));
    painter.drawRoundedRect(QRectF(36, 52, 132, 172), 10, 10);
    painter.setPen(QPen(QColor(0x2c, 0x4a, 0x78), 6));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(60, 24, 132, 172), 10, 10);
    painter.setPen(QPen(QColor(0x7d, 0x93, 0xb5), 8, Qt::SolidLine, Qt::RoundCap));
    for (const QLineF& line : {QLineF(84, 60, 168, 60), QLineF(84, 84, 150, 84),
                               QLineF(84, 108, 168, 108), QLineF(84, 132, 130, 132)})
        painter.drawLine(line);
    const QColor red(0xc0, 0x39, 0x2b);
    painter.setPen(QPen(red, 12));
    painter.setBrush(QColor(0xff, 0xf6, 0xc9, 217));
    painter.drawEllipse(QPointF(164, 160), 40, 40);
    painter.setPen(QPen(red, 18, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QLineF(193, 189, 230, 226));
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}

} // namespace kelvara
