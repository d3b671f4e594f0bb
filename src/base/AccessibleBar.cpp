#include "base/AccessibleBar.h"

#include "base/AccessibleMark.h"
#include <QAccessibleWidget>
#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <vector>

namespace {

const char* const kBarButton = "ondalisBarButton";

// Moves the focus along a bar's buttons with the arrow keys.
class CBarArrows : public QObject
{
public:
    explicit CBarArrows(QToolBar* bar)
        : QObject(bar), m_pBar(bar)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const int key = static_cast<QKeyEvent*>(event)->key();
        int step = 0;
        if (key == Qt::Key_Left || key == Qt::Key_Up) {
            step = -1;
        } else if (key == Qt::Key_Right || key == Qt::Key_Down) {
            step = 1;
        } else {
            return false;
        }
        std::vector<QWidget*> buttons;
        for (QAction* action : m_pBar->actions()) {
            QWidget* w = m_pBar->widgetForAction(action);
            if (w != nullptr && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus) {
                buttons.push_back(w);
            }
        }
        const auto it = std::find(buttons.begin(), buttons.end(), watched);
        if (it == buttons.end()) {
            return false;
        }
        const auto at = (it - buttons.begin()) + step;
        if (at >= 0 && at < static_cast<std::ptrdiff_t>(buttons.size())) {
            buttons[static_cast<std::size_t>(at)]->setFocus(Qt::TabFocusReason);
        }
        return true;
    }

private:
    QToolBar* m_pBar;
};

// A tool button as a screen reader sees it: every action is a click.
class CToolButtonAccessible : public QAccessibleWidget
{
public:
    explicit CToolButtonAccessible(QToolButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QToolButton* Button() const { return static_cast<QToolButton*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name) {
            return QAccessibleWidget::text(t);
        }
        const QToolButton* b = Button();
        if (!b->accessibleName().isEmpty()) {
            return b->accessibleName();
        }
        QString name = b->text();
        name.remove(QLatin1Char('&'));
        return name.isEmpty() ? b->toolTip() : name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const QToolButton* b = Button();
        s.checkable = b->isCheckable();
        s.checked = b->isChecked();
        s.pressed = b->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names{pressAction()};
        if (Button()->isCheckable()) {
            names << toggleAction();
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction() || actionName == toggleAction()) {
            if (Button()->isEnabled()) {
                Button()->click();
            }
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }
};

QAccessibleInterface* ToolButtonFactory(const QString& className, QObject* object)
{
    if (IsMarkedFor(className, "QToolButton", object, kBarButton)) {
        return new CToolButtonAccessible(static_cast<QToolButton*>(object));
    }
    return nullptr;
}

} // namespace

void MakeBarAccessible(QToolBar* bar)
{
    auto* arrows = new CBarArrows(bar);
    for (QAction* action : bar->actions()) {
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
            MarkForAccessibleFactory(button, kBarButton, ToolButtonFactory);
            button->setFocusPolicy(Qt::TabFocus);
            button->installEventFilter(arrows);
        }
    }
}
