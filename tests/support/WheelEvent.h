// Sends one wheel event of a vertical angle delta to the middle of a widget.
#pragma once

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

inline void SendWheel(QWidget* widget, int delta)
{
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}
