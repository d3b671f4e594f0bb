#include "base/AccessibleMark.h"

#include <QObject>
#include <set>

void MarkForAccessibleFactory(QObject* object, const char* mark, QAccessible::InterfaceFactory factory)
{
    static std::set<QAccessible::InterfaceFactory> installed;
    if (installed.insert(factory).second) {
        QAccessible::installFactory(factory);
    }
    object->setProperty(mark, true);
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(object)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

bool IsMarkedFor(const QString& className, const char* qtClass, QObject* object, const char* mark)
{
    return className == QLatin1String(qtClass) && object != nullptr && object->property(mark).toBool();
}
