// A panel's own tool bar: one QAction per command id, made from the command
// table and triggered straight into the panel. The panel refreshes the
// actions' enabled and checked states from its own state rules; the main frame
// sees the same rules through the panel.
#pragma once

#include "model/DocCommands.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QToolBar;
class QWidget;

class CPanelToolBar
{
public:
    // ids in order; 0 stands for a separator. run gets the id of a triggered action.
    CPanelToolBar(QWidget* parent, const std::vector<int>& ids, const QString& name, std::function<void(int)> run);

    QToolBar* Bar() const { return m_pBar; }
    // The action of an id on this bar, or null.
    QAction* Action(int id) const;
    // Sets every action's state from stateOf (an id without a state is enabled, unchecked).
    void Refresh(const std::function<std::optional<CommandState>(int)>& stateOf) const;

private:
    QToolBar* m_pBar;
    std::map<int, QAction*> m_actions;
};
