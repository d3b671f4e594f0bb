// The display commands that belong to the document (scale, zoom anchor,
// approximation, V/2-PR, RL, mouse modes): their actions and their state rules.
// They work the same from menus, tool bars and the plot's context menu.
#pragma once

#include <optional>

class CZR815KDoc;

struct CommandState
{
    bool enabled = true;
    bool checked = false;
    friend bool operator==(const CommandState&, const CommandState&) = default;
};

// Carries out a document command; false when the id is not one of them.
bool RunDocCommand(CZR815KDoc& doc, int id);

// The state of a document command, or nullopt when the id is not one of them.
std::optional<CommandState> DocCommandState(const CZR815KDoc& doc, int id);

// The scale-table index a scale command sets, or -1 for any other id.
int ScaleIndexOfCommand(int id);

// The mouse mode a mode command sets, or -1 for any other id.
int MouseModeOfCommand(int id);
