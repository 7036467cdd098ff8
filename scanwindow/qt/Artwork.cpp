#include "Artwork.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace ombrix::Artwork {

namespace {

// A transparent pixmap of width x height logical pixels with as many real
// pixels as the screen shows, so pictures stay sharp when the desktop is scaled.
QPixmap transparentPixmap(int width, int height)
{
    const qreal ratio = qGuiApp->devicePixelRatio();
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawBug(QPainter& painter, const QColor& body, const QColor& outline)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(outline, 1.0));
    // Legs and antennae first, so the body covers their inner ends.
    for (const qreal y : {6.5, 9.5, 12.5}) {
        painter.drawLine(QPointF(2.0, y - 1.0), QPointF(6.0, y));
        painter.drawLine(QPointF(14.0, y - 1.0), QPointF(10.0, y));
    }
    painter.drawLine(QPointF(7.0, 3.0), QPointF(5.0, 0.5));
    painter.drawLine(QPointF(9.0, 3.0), QPointF(11.0, 0.5));

    painter.setBrush(outline);
    painter.drawEllipse(QRectF(5.5, 2.0, 5.0, 4.0));
    painter.setBrush(body);
    painter.drawEllipse(QRectF(4.0, 4.5, 8.0, 11.0));
    painter.drawLine(QPointF(8.0, 5.0), QPointF(8.0, 15.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(QRectF(5.5, 6.5, 1.8, 2.6));
}

}  // namespace

QPixmap bug(const QColor& body)
{
    QPixmap pixmap = transparentPixmap(16, 16);
    QPainter painter(&pixmap);
    drawBug(painter, body, body.darker(260));
    return pixmap;
}

QPixmap banner(int width)
{
    QPixmap pixmap = transparentPixmap(width, 25);
    QPainter painter(&pixmap);
    QLinearGradient sky(0, 0, width, 0);
    sky.setColorAt(0.0, QColor(18, 38, 82));
    sky.setColorAt(0.6, QColor(44, 96, 160));
    sky.setColorAt(1.0, QColor(120, 170, 215));
    painter.fillRect(QRect(0, 0, width, 25), sky);
    painter.fillRect(QRect(0, 23, width, 2), QColor(240, 170, 30));

    painter.save();
    painter.translate(6, 4);
    drawBug(painter, QColor(235, 235, 240), QColor(10, 20, 50));
    painter.restore();

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(15);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 0, 200, 23), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Ombrix"));

    QFont motto(QStringLiteral("Arial"));
    motto.setPixelSize(11);
    motto.setItalic(true);
    painter.setFont(motto);
    painter.setPen(QColor(230, 238, 250));
    painter.drawText(QRect(0, 0, width - 10, 23), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("finds unwanted files by name"));
    return pixmap;
}

QPixmap magnifier()
{
    QPixmap pixmap = transparentPixmap(16, 16);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 40, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10.0, 10.0), QPointF(14.5, 14.5));
    painter.setPen(QPen(QColor(20, 40, 90), 1.5));
    painter.setBrush(QColor(190, 220, 250));
    painter.drawEllipse(QRectF(1.5, 1.5, 9.5, 9.5));
    return pixmap;
}

}  // namespace ombrix::Artwork
