#include "res/CurveBitmap.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <array>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 136;

// The axes' corner and ends: outdoor temperature to the right, forward temperature upwards.
constexpr QPointF kOrigin(28.5, 110.5);
constexpr double kRight = 252.0;
constexpr double kTop = 6.0;

// The points "1" to "5": outdoor temperature in equal steps, the forward temperature falling
// ever less steeply; straight lines join them, flat beyond the first and the last.
constexpr std::array<QPointF, 5> kPoints = {QPointF(58.5, 36.5), QPointF(100.5, 60.5),
                                            QPointF(142.5, 78.5), QPointF(184.5, 90.5),
                                            QPointF(226.5, 97.5)};

void Arrow(QPainter& painter, QPointF from, QPointF to) {
    painter.drawLine(from, to);
    const QPointF along = (to - from) / std::max(1.0, QLineF(from, to).length());
    const QPointF across(-along.y(), along.x());
    QPainterPath head(to);
    head.lineTo(to - along * 7 + across * 3.5);
    head.lineTo(to - along * 7 - across * 3.5);
    head.closeSubpath();
    painter.fillPath(head, painter.pen().color());
}

}  // namespace

QImage LoadCurveBitmap() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);

    // Guides from every point down to the outdoor axis and across to the forward axis.
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DotLine));
    for (const QPointF& p : kPoints) {
        painter.drawLine(p, QPointF(p.x(), kOrigin.y()));
        painter.drawLine(p, QPointF(kOrigin.x(), p.y()));
    }

    painter.setPen(QPen(Qt::black, 1));
    Arrow(painter, kOrigin, QPointF(kRight, kOrigin.y()));
    Arrow(painter, kOrigin, QPointF(kOrigin.x(), kTop));
    painter.drawText(QRectF(kRight + 4, kOrigin.y() - 8, kWidth - kRight - 4, 16),
                     Qt::AlignLeft | Qt::AlignVCenter, "Outdoor");
    painter.drawText(QRectF(kOrigin.x() + 8, kTop - 5, 80, 16), Qt::AlignLeft | Qt::AlignTop,
                     "Forward");

    // The curve.
    painter.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2));
    QPainterPath curve(QPointF(kOrigin.x() + 1, kPoints.front().y()));
    for (const QPointF& p : kPoints) {
        curve.lineTo(p);
    }
    curve.lineTo(QPointF(kRight - 12, kPoints.back().y()));
    painter.drawPath(curve);

    // The points with their numbers, on the curve and along the outdoor axis.
    for (std::size_t k = 0; k < kPoints.size(); ++k) {
        const QPointF& p = kPoints[k];
        const QString number = QString::number(k + 1);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xC0, 0x00, 0x00));
        painter.drawEllipse(p, 3.5, 3.5);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(p.x() + 3, p.y() - 17, 14, 14), Qt::AlignCenter, number);
        painter.drawText(QRectF(p.x() - 7, kOrigin.y() + 4, 14, 14), Qt::AlignCenter, number);
    }
    painter.end();
    return image;
}
