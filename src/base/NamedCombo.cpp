#include "base/NamedCombo.h"

#include "base/AccessibleMark.h"
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

const char* const kNamedCombo = "ondalisNamedCombo";

class CNamedComboAccessible : public QAccessibleWidget
{
public:
    explicit CNamedComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && !Combo()->accessibleName().isEmpty()) {
            return Combo()->accessibleName();
        }
        if (t == QAccessible::Value || t == QAccessible::Name) {
            return Combo()->currentText();
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == showMenuAction() || actionName == pressAction()) {
            Combo()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* NamedComboFactory(const QString& className, QObject* object)
{
    if (IsMarkedFor(className, "QComboBox", object, kNamedCombo)) {
        return new CNamedComboAccessible(static_cast<QComboBox*>(object));
    }
    return nullptr;
}

} // namespace

void NameComboByLabel(QComboBox* combo) { MarkForAccessibleFactory(combo, kNamedCombo, NamedComboFactory); }
