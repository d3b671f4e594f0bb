#include "base/PanelToolBar.h"

#include "base/Artwork.h"
#include "base/AccessibleBar.h"
#include "base/CommandAction.h"
#include "model/CommandTable.h"

#include <QAction>
#include <QToolBar>

CPanelToolBar::CPanelToolBar(QWidget* parent, const std::vector<int>& ids, const QString& name,
                             std::function<void(int)> run)
    : m_pBar(new QToolBar(parent))
{
    m_pBar->setAccessibleName(name);
    m_pBar->setIconSize(kButtonSize);
    for (int id : ids) {
        const CommandInfo* info = id == 0 ? nullptr : FindCommand(id);
        if (info == nullptr) {
            m_pBar->addSeparator();
            continue;
        }
        QAction* action = CreateCommandAction(*info, m_pBar);
        QObject::connect(action, &QAction::triggered, m_pBar, [run, id] { run(id); });
        m_pBar->addAction(action);
        m_actions[id] = action;
    }
    MakeBarAccessible(m_pBar);
}

QAction* CPanelToolBar::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CPanelToolBar::Refresh(const std::function<std::optional<CommandState>(int)>& stateOf) const
{
    for (const auto& [id, action] : m_actions) {
        const CommandState state = stateOf(id).value_or(CommandState{});
        action->setEnabled(state.enabled);
        if (action->isCheckable()) {
            action->setChecked(state.checked);
        }
    }
}
