#include "Artwork.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace ombrix::Artwork {

namespace {

const QColor kNavy(16, 42, 92);
const QColor kBlue(38, 98, 178);
const QColor kTeal(40, 150, 160);
const QColor kRed(196, 40, 36);
const QColor kGreen(46, 150, 60);

// A transparent pixmap of `size` logical pixels with as many real pixels as
// the screen shows, so pictures stay sharp when the desktop is scaled.
QPixmap blank(QSize size)
{
    const qreal ratio = qGuiApp->devicePixelRatio();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Paints on a 100 by 100 canvas scaled to the pixmap, so every drawing is
// written once whatever size it is wanted in.
template <typename Paint>
QPixmap drawScaled(QSize size, Paint paint)
{
    QPixmap pixmap = blank(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size.width() / 100.0, size.height() / 100.0);
    paint(painter);
    return pixmap;
}

QPainterPath shieldPath(QRectF box)
{
    QPainterPath path;
    const qreal x = box.x();
    const qreal y = box.y();
    const qreal w = box.width();
    const qreal h = box.height();
    path.moveTo(x + w / 2, y);
    path.cubicTo(x + w * 0.7, y + h * 0.1, x + w * 0.85, y + h * 0.1, x + w, y + h * 0.08);
    path.cubicTo(x + w, y + h * 0.6, x + w * 0.8, y + h * 0.85, x + w / 2, y + h);
    path.cubicTo(x + w * 0.2, y + h * 0.85, x, y + h * 0.6, x, y + h * 0.08);
    path.cubicTo(x + w * 0.15, y + h * 0.1, x + w * 0.3, y + h * 0.1, x + w / 2, y);
    path.closeSubpath();
    return path;
}

void drawMagnifier(QPainter& painter, QPointF centre, qreal radius, qreal handle)
{
    QRadialGradient glass(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    glass.setColorAt(0, QColor(255, 255, 255, 220));
    glass.setColorAt(1, QColor(150, 200, 235, 150));
    const QPointF grip = centre + QPointF(radius * 0.72, radius * 0.72);
    painter.setPen(QPen(QColor(70, 45, 25), radius * 0.38, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(grip, grip + QPointF(handle, handle));
    painter.setPen(QPen(kNavy, radius * 0.22));
    painter.setBrush(glass);
    painter.drawEllipse(centre, radius, radius);
}

void drawBug(QPainter& painter, QPointF centre, qreal size, QColor colour)
{
    painter.setPen(QPen(QColor(40, 20, 20), size * 0.07, Qt::SolidLine, Qt::RoundCap));
    for (int side : {-1, 1}) {
        for (int leg = -1; leg <= 1; ++leg) {
            const QPointF from = centre + QPointF(side * size * 0.2, leg * size * 0.18);
            painter.drawLine(from, from + QPointF(side * size * 0.25, leg * size * 0.12 - size * 0.04));
        }
    }
    painter.setBrush(colour);
    painter.drawEllipse(centre + QPointF(0, size * 0.05), size * 0.26, size * 0.32);
    painter.setBrush(QColor(40, 20, 20));
    painter.drawEllipse(centre - QPointF(0, size * 0.3), size * 0.14, size * 0.12);
    painter.drawLine(centre + QPointF(0, -size * 0.2), centre + QPointF(0, size * 0.36));
}

}  // namespace

QPixmap headerStrip(QSize size)
{
    QPixmap pixmap = blank(size);
    const QRect all(QPoint(), size);
    QPainter painter(&pixmap);
    QLinearGradient band(0, 0, size.width(), 0);
    band.setColorAt(0, kNavy);
    band.setColorAt(0.65, kBlue);
    band.setColorAt(1, kTeal);
    painter.fillRect(all, band);
    QLinearGradient gloss(0, 0, 0, size.height());
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 10));
    gloss.setColorAt(1, QColor(0, 0, 0, 40));
    painter.fillRect(all, gloss);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 3));
    for (int x = size.width() - 90; x < size.width() + size.height(); x += 9)
        painter.drawLine(x, size.height(), x + size.height(), 0);
    const qreal h = size.height();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawPath(shieldPath(QRectF(h * 0.3, h * 0.16, h * 0.58, h * 0.68)));
    return pixmap;
}

QPixmap optionsArt(QSize size)
{
    return drawScaled(size, [](QPainter& painter) {
        painter.setPen(QPen(QColor(120, 130, 150), 1.5));
        for (int sheet = 2; sheet >= 0; --sheet) {
            painter.setBrush(sheet == 0 ? QColor(255, 255, 255) : QColor(228, 234, 244));
            painter.drawRect(QRectF(14 + sheet * 6, 8 + sheet * 4, 52, 68));
        }
        painter.setPen(QPen(QColor(150, 165, 190), 3, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 6; ++line)
            painter.drawLine(QPointF(22, 20 + line * 9), QPointF(line % 3 == 2 ? 44 : 58, 20 + line * 9));
        drawMagnifier(painter, {62, 56}, 19, 20);
        drawBug(painter, {62, 56}, 20, kRed);
    });
}

QPixmap statisticsArt(QSize size)
{
    return drawScaled(size, [](QPainter& painter) {
        painter.setPen(QPen(QColor(120, 130, 150), 2));
        painter.drawLine(QPointF(8, 90), QPointF(94, 90));
        const int heights[] = {28, 46, 36, 62};
        for (int bar = 0; bar < 4; ++bar) {
            QLinearGradient fill(0, 0, 16, 0);
            fill.setColorAt(0, kBlue.lighter(130));
            fill.setColorAt(1, kBlue);
            fill.setSpread(QGradient::RepeatSpread);
            painter.setBrush(fill);
            painter.setPen(QPen(kNavy, 1));
            painter.drawRect(QRectF(10 + bar * 16, 90 - heights[bar], 12, heights[bar]));
        }
        const QPainterPath shield = shieldPath(QRectF(50, 16, 44, 56));
        QLinearGradient metal(50, 16, 94, 72);
        metal.setColorAt(0, kGreen.lighter(140));
        metal.setColorAt(1, kGreen.darker(130));
        painter.setBrush(metal);
        painter.setPen(QPen(QColor(20, 70, 30), 2.5));
        painter.drawPath(shield);
        painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({{61, 44}, {69, 53}, {84, 34}}));
    });
}

QPixmap scanIcon(QSize size)
{
    return drawScaled(size, [](QPainter& painter) {
        drawMagnifier(painter, {40, 40}, 30, 22);
        drawBug(painter, {40, 40}, 34, kRed);
    });
}

QPixmap updateIcon(QSize size)
{
    return drawScaled(size, [](QPainter& painter) {
        QRadialGradient sea(QPointF(38, 34), 52);
        sea.setColorAt(0, kTeal.lighter(150));
        sea.setColorAt(1, kBlue.darker(120));
        painter.setBrush(sea);
        painter.setPen(QPen(kNavy, 3));
        painter.drawEllipse(QPointF(46, 46), 40, 40);
        painter.setPen(QPen(QColor(255, 255, 255, 140), 2.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(46, 46), 18, 40);
        painter.drawLine(QPointF(6, 46), QPointF(86, 46));
        painter.drawLine(QPointF(46, 6), QPointF(46, 86));
        QPainterPath arrow;
        arrow.moveTo(64, 44);
        arrow.lineTo(84, 44);
        arrow.lineTo(84, 68);
        arrow.lineTo(97, 68);
        arrow.lineTo(74, 96);
        arrow.lineTo(51, 68);
        arrow.lineTo(64, 68);
        arrow.closeSubpath();
        painter.setPen(QPen(QColor(20, 70, 30), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(kGreen);
        painter.drawPath(arrow);
    });
}

QIcon programIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128}) {
        icon.addPixmap(drawScaled({side, side}, [](QPainter& painter) {
            QLinearGradient metal(10, 4, 90, 96);
            metal.setColorAt(0, kBlue.lighter(140));
            metal.setColorAt(1, kNavy);
            painter.setBrush(metal);
            painter.setPen(QPen(kNavy.darker(150), 4));
            painter.drawPath(shieldPath(QRectF(10, 4, 80, 92)));
            drawMagnifier(painter, {46, 44}, 20, 16);
        }));
    }
    return icon;
}

QCursor handCursor()
{
    const QPixmap hand = drawScaled({32, 32}, [](QPainter& painter) {
        QPainterPath outline;
        outline.moveTo(34, 4);
        outline.cubicTo(40, 4, 42, 8, 42, 12);
        outline.lineTo(42, 40);
        outline.cubicTo(48, 36, 56, 38, 56, 44);
        outline.cubicTo(62, 40, 70, 42, 70, 48);
        outline.cubicTo(76, 44, 84, 46, 84, 54);
        outline.lineTo(84, 74);
        outline.cubicTo(84, 86, 76, 96, 64, 96);
        outline.lineTo(46, 96);
        outline.cubicTo(38, 96, 34, 92, 28, 84);
        outline.lineTo(12, 62);
        outline.cubicTo(8, 56, 14, 50, 20, 54);
        outline.lineTo(26, 60);
        outline.lineTo(26, 12);
        outline.cubicTo(26, 8, 28, 4, 34, 4);
        outline.closeSubpath();
        painter.setBrush(Qt::white);
        painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(outline);
        painter.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(56, 46), QPointF(56, 66));
        painter.drawLine(QPointF(70, 50), QPointF(70, 68));
    });
    // The fingertip, where a click lands.
    return QCursor(hand, 11, 1);
}

}  // namespace ombrix::Artwork
