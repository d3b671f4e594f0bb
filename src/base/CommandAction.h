// A QAction made from the command table: menu text, status text, tooltip,
// check kind and tool bar picture of a command id.
#pragma once

#include "model/CommandTable.h"

#include <QAction>

QAction* CreateCommandAction(const CommandInfo& info, QObject* parent);
