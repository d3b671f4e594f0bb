#include "base/Artwork.h"

#include "model/CommandIds.h"
#include "model/DocCommands.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

const QColor kInk(20, 20, 20);
const QColor kTrace(200, 0, 0);
const QColor kCursor1(60, 60, 230);
const QColor kCursor2(170, 150, 0);

QPixmap Canvas(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon Painted(QSize size, const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap = Canvas(size);
    QPainter painter(&pixmap);
    paint(painter);
    painter.end();
    return QIcon(pixmap);
}

void Text(QPainter& p, const QRect& rect, const QString& text, const QColor& colour, int pixelSize)
{
    QFont font("Arial");
    font.setPixelSize(pixelSize);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(rect, Qt::AlignCenter, text);
}

// A small reflectogram: launch pulse, flat line, one echo.
void Trace(QPainter& p, const QRect& r, const QColor& colour)
{
    p.setPen(QPen(colour, 1));
    const int base = r.bottom() - r.height() / 3;
    const QPoint points[] = {{r.left(), base},
                             {r.left() + 2, r.top() + 1},
                             {r.left() + 4, base},
                             {r.left() + r.width() * 2 / 3, base},
                             {r.left() + r.width() * 2 / 3 + 2, r.top() + r.height() / 3},
                             {r.left() + r.width() * 2 / 3 + 4, base},
                             {r.right(), base}};
    p.drawPolyline(points, 7);
}

QString ScaleText(int index)
{
    static const char* const texts[] = {"62.5", "125", "250", "500", "1k",  "2k",
                                        "4k",   "8k",  "16k", "32k", "64k", "128k"};
    return QString::fromLatin1(texts[index]);
}

} // namespace

QIcon CommandIcon(int id)
{
    if (const int index = ScaleIndexOfCommand(id); index >= 0) {
        return Painted(kScaleButtonSize, [index](QPainter& p) {
            Text(p, QRect(QPoint(0, 0), kScaleButtonSize), ScaleText(index), kInk, 11);
        });
    }
    const QRect all(QPoint(0, 0), kButtonSize);
    switch (id) {
    case ID_ANCHOR_CURSOR1:
    case ID_ANCHOR_CURSOR2:
        return Painted(kButtonSize, [id, all](QPainter& p) {
            const QColor colour = id == ID_ANCHOR_CURSOR1 ? kCursor1 : kCursor2;
            p.setPen(QPen(colour, 2));
            p.drawLine(3, 1, 3, 14);
            Text(p, all.adjusted(5, 0, 0, 0), id == ID_ANCHOR_CURSOR1 ? "1" : "2", kInk, 12);
        });
    case ID_VELOCITY_PRESENTATION:
        return Painted(kButtonSize, [all](QPainter& p) { Text(p, all, "V/2", kInk, 8); });
    case ID_RETURN_LOSS:
        return Painted(kButtonSize, [all](QPainter& p) { Text(p, all, "RL", kInk, 10); });
    case ID_APPROXIMATION:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(QPen(kTrace, 1));
            const QPoint zigzag[] = {{1, 11}, {4, 3}, {7, 12}, {10, 5}, {14, 9}};
            p.drawPolyline(zigzag, 5);
            p.setPen(kInk);
            for (const QPoint& pt : zigzag) {
                p.drawPoint(pt);
            }
        });
    case ID_DUAL_SCREEN:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            p.drawRect(1, 1, 13, 4);
            p.drawRect(1, 7, 13, 6);
            Trace(p, QRect(2, 8, 12, 5), kTrace);
        });
    case ID_CHANNEL_SETTINGS:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            for (int y : {3, 7, 11}) {
                p.drawLine(1, y, 14, y);
            }
            p.fillRect(4, 1, 3, 5, kTrace);
            p.fillRect(10, 5, 3, 5, QColor(255, 153, 0));
            p.fillRect(6, 9, 3, 5, QColor(200, 0, 200));
        });
    case ID_MEMORY_PANE:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            p.drawRect(1, 1, 13, 12);
            for (int y : {4, 7, 10}) {
                p.drawLine(3, y, 12, y);
            }
        });
    case ID_LEGEND:
        return Painted(kButtonSize, [](QPainter& p) {
            p.fillRect(1, 1, 14, 13, Qt::black);
            p.fillRect(3, 3, 10, 2, kTrace);
            p.fillRect(3, 7, 10, 2, QColor(255, 153, 0));
            p.fillRect(3, 11, 10, 2, QColor(200, 0, 200));
        });
    case ID_PRINT:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            p.drawRect(4, 1, 7, 4);
            p.fillRect(1, 5, 14, 6, QColor(150, 150, 150));
            p.drawRect(1, 5, 13, 6);
            p.fillRect(4, 9, 8, 5, Qt::white);
            p.drawRect(4, 9, 7, 5);
        });
    case ID_OPEN_WAVE_FOLDER:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(1, 4, 13, 9);
            p.drawRect(1, 2, 5, 2);
        });
    case ID_LOAD_M1:
    case ID_LOAD_M2:
    case ID_LOAD_M3: {
        const int channel = id == ID_LOAD_M1 ? 0 : id == ID_LOAD_M2 ? 1 : 2;
        const QColor colours[3] = {kTrace, QColor(255, 153, 0), QColor(200, 0, 200)};
        return Painted(kButtonSize, [all, channel, colours](QPainter& p) {
            Text(p, all, QString("M%1").arg(channel + 1), colours[channel], 9);
        });
    }
    case ID_PREVIEW:
        return Painted(kButtonSize, [](QPainter& p) {
            p.fillRect(1, 2, 14, 11, Qt::black);
            Trace(p, QRect(2, 3, 12, 9), QColor(0, 200, 255));
        });
    case ID_EXPORT_TEXT:
        return Painted(kButtonSize, [all](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(Qt::white);
            p.drawRect(2, 0, 11, 14);
            Text(p, all, "txt", kInk, 7);
        });
    case ID_OPEN_GRID_FOLDER:
    case ID_CREATE_GRID:
        return Painted(kButtonSize, [id](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(id == ID_CREATE_GRID ? QColor(Qt::white) : QColor(240, 200, 90));
            p.drawRect(1, 4, 13, 9);
            p.setPen(QPen(kTrace, 2));
            for (int x : {4, 8, 12}) {
                p.drawLine(x, 6, x, 11);
            }
        });
    case ID_ADD_SECTION:
    case ID_COMMIT_SECTION:
    case ID_DELETE_SECTION:
        return Painted(kButtonSize, [id](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.drawLine(1, 13, 14, 13);
            p.setPen(QPen(kTrace, 2));
            p.drawLine(2, 9, 2, 13);
            p.drawLine(8, 9, 8, 13);
            if (id == ID_ADD_SECTION) {
                p.fillRect(9, 1, 2, 7, QColor(0, 130, 0));
                p.fillRect(7, 3, 6, 2, QColor(0, 130, 0));
            } else if (id == ID_COMMIT_SECTION) {
                p.setPen(QPen(QColor(0, 130, 0), 2));
                const QPoint tick[] = {{6, 4}, {9, 7}, {14, 1}};
                p.drawPolyline(tick, 3);
            } else {
                p.setPen(QPen(kTrace, 2));
                p.drawLine(8, 1, 13, 6);
                p.drawLine(13, 1, 8, 6);
            }
        });
    case ID_KU_OPEN:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(kInk);
            p.setBrush(QColor(240, 200, 90));
            p.drawRect(1, 4, 13, 9);
            p.drawRect(1, 2, 5, 2);
            p.setPen(QPen(kCursor1, 2));
            p.drawLine(4, 9, 11, 9);
        });
    case ID_KU_USE:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(QPen(QColor(0, 130, 0), 2));
            const QPoint tick[] = {{2, 8}, {6, 12}, {14, 3}};
            p.drawPolyline(tick, 3);
        });
    case ID_KU_ADD:
        return Painted(kButtonSize, [](QPainter& p) {
            p.fillRect(6, 2, 3, 11, QColor(0, 130, 0));
            p.fillRect(2, 6, 11, 3, QColor(0, 130, 0));
        });
    case ID_KU_REMOVE:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(QPen(kTrace, 2));
            p.drawLine(3, 3, 12, 12);
            p.drawLine(12, 3, 3, 12);
        });
    case ID_KU_CALIBRATE:
        return Painted(kButtonSize, [](QPainter& p) {
            // A ruler between the two cursor lines.
            p.setPen(QPen(kCursor1, 1));
            p.drawLine(1, 1, 1, 14);
            p.setPen(QPen(kCursor2, 1));
            p.drawLine(14, 1, 14, 14);
            p.setPen(kInk);
            p.drawRect(3, 6, 9, 4);
            for (int x : {5, 7, 9}) {
                p.drawLine(x, 6, x, 8);
            }
        });
    case ID_APPLY_SITE_GRID:
        return Painted(kButtonSize, [](QPainter& p) {
            p.setPen(QPen(kInk, 1));
            p.drawLine(1, 8, 14, 8);
            p.setPen(QPen(kTrace, 2));
            for (int x : {1, 6, 10, 14}) {
                p.drawLine(x, 4, x, 12);
            }
        });
    default:
        return QIcon();
    }
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128}) {
        QPixmap pixmap = Canvas(QSize(side, side));
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(10, 20, 30));
        p.setPen(QPen(QColor(120, 130, 140), side / 32.0 + 0.5));
        p.drawRoundedRect(QRectF(0.5, 0.5, side - 1, side - 1), side / 8.0, side / 8.0);
        QPainterPath path;
        const double base = side * 0.62;
        path.moveTo(side * 0.1, base);
        path.lineTo(side * 0.16, side * 0.18);
        path.lineTo(side * 0.24, base);
        path.lineTo(side * 0.58, base);
        path.lineTo(side * 0.64, side * 0.36);
        path.lineTo(side * 0.70, base + side * 0.12);
        path.lineTo(side * 0.76, base);
        path.lineTo(side * 0.9, base);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 80, 60), std::max(1.0, side / 20.0)));
        p.drawPath(path);
        p.setPen(QPen(QColor(200, 200, 255), std::max(1.0, side / 40.0)));
        p.drawLine(QPointF(side * 0.64, side * 0.12), QPointF(side * 0.64, side * 0.88));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
