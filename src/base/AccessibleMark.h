// Our own accessible interfaces for chosen Qt widgets: a mark (a dynamic
// property) on the widget tells a factory of ours to make its interface.
#pragma once

#include <QAccessible>

class QObject;

// Installs `factory` (once), sets the property `mark` on the object, and drops
// an interface Qt may already have made for it, so the next query makes ours.
void MarkForAccessibleFactory(QObject* object, const char* mark, QAccessible::InterfaceFactory factory);

// Whether the factory was asked for the class it serves on an object that bears the mark.
bool IsMarkedFor(const QString& className, const char* qtClass, QObject* object, const char* mark);
