#include "base/CommandAction.h"

#include "base/Artwork.h"

QAction* CreateCommandAction(const CommandInfo& info, QObject* parent)
{
    auto* action = new QAction(QString::fromUtf8(info.menuText), parent);
    const QString status = QString::fromUtf8(PromptStatus(info));
    const QString tip = QString::fromUtf8(PromptTooltip(info));
    action->setStatusTip(status);
    // A prompt without a tooltip part shows its status text, or the menu text.
    action->setToolTip(!tip.isEmpty() ? tip : !status.isEmpty() ? status : QString::fromUtf8(info.menuText));
    // A command without a menu item still needs words for screen readers: its
    // tool button takes the action's text as its accessible name.
    if (info.menuText[0] == '\0') {
        action->setText(QString::fromStdString(CommandName(info)));
    }
    action->setCheckable(info.checkable);
    action->setIcon(CommandIcon(info.id));
    return action;
}
