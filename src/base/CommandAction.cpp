#include "base/CommandAction.h"

#include "base/Artwork.h"
#include "base/CoreText.h"

QAction* CreateCommandAction(const CommandInfo& info, QObject* parent)
{
    const QString menuText = CoreText(info.menuText);
    auto* action = new QAction(menuText, parent);
    // The prompt is translated whole, then split as the core splits it.
    const QString prompt = CoreText(info.prompt);
    const qsizetype newline = prompt.indexOf('\n');
    const QString status = newline < 0 ? prompt : prompt.left(newline);
    const QString tip = newline < 0 ? QString() : prompt.mid(newline + 1);
    action->setStatusTip(status);
    // A prompt without a tooltip part shows its status text, or the menu text.
    action->setToolTip(!tip.isEmpty() ? tip : !status.isEmpty() ? status : menuText);
    // A command without a menu item still needs words for screen readers: its
    // tool button takes the action's text as its accessible name.
    // The name follows CommandName's order over the translated texts.
    if (info.menuText[0] == '\0') {
        const QString name = !tip.trimmed().isEmpty() ? tip.trimmed() : status.trimmed();
        action->setText(!name.isEmpty() ? name : CoreText(CommandName(info)));
    }
    action->setCheckable(info.checkable);
    action->setIcon(CommandIcon(info.id));
    return action;
}
