// How the program's own edit controls talk to their parent window: the change
// notification of a spin field (its control id with code 0x0400, sent only for
// changes the user made) and the edit-enter event posted to the parent when
// Enter is pressed in a spin or edit field.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

// Code of the value-change notification.
inline constexpr int kEnUpdate = 0x0400;

// Posted (never sent) to the parent when Enter reaches a spin or edit field.
// A parent without a handler ignores it.
inline const QEvent::Type kEditEnterEvent = static_cast<QEvent::Type>(QEvent::User + 100);

inline void PostEditEnter(QWidget* field)
{
    if (QWidget* parent = field->parentWidget()) {
        QCoreApplication::postEvent(parent, new QEvent(kEditEnterEvent));
    }
}
