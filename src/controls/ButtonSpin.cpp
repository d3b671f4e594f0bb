#include "controls/ButtonSpin.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace {

constexpr int kIconSize = 32;

void Triangle(QPainter& p, bool pointsLeft, int left, int right)
{
    const int top = 6;
    const int bottom = kIconSize - 7;
    const int middle = kIconSize / 2;
    QPolygon shape;
    if (pointsLeft) {
        shape << QPoint(left, middle) << QPoint(right, top) << QPoint(right, bottom);
    } else {
        shape << QPoint(right, middle) << QPoint(left, top) << QPoint(left, bottom);
    }
    p.drawPolygon(shape);
}

void Bar(QPainter& p, int left)
{
    p.drawRect(left, 6, 4, kIconSize - 13);
}

} // namespace

CButtonSpin::CButtonSpin(QWidget* parent, int index)
    : QPushButton(parent), m_nIndex(index)
{
    setFlat(true);
    setAutoRepeat(false);
    setAutoDefault(false);
    setDefault(false);
    // The caret stays in the field while its buttons are clicked.
    setFocusPolicy(Qt::NoFocus);
    setIcon(Icon(index));
    setEnabled(false);
}

QIcon CButtonSpin::Icon(int index)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(20, 20, 20), 2));
    p.setBrush(Qt::NoBrush);
    switch (index) {
    case 0:
        Bar(p, 5);
        Triangle(p, true, 11, 26);
        break;
    case 1:
        Triangle(p, true, 8, 24);
        break;
    case 2:
        Triangle(p, false, 8, 24);
        break;
    default:
        Triangle(p, false, 5, 20);
        Bar(p, 23);
        break;
    }
    p.end();
    return QIcon(pixmap);
}
