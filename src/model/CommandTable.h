// One table gives every command its menu text, its prompt ("status text\ntooltip")
// and whether it carries a check mark.
#pragma once

#include <span>
#include <string>

struct CommandInfo
{
    int id;
    const char* menuText;  // as in the main menu; empty for commands without an item
    const char* prompt;    // status-bar text, then '\n' and the tooltip; may be empty
    bool checkable;
};

std::span<const CommandInfo> AllCommands();

// The entry of an id, or null.
const CommandInfo* FindCommand(int id);

// The two halves of a prompt.
std::string PromptStatus(const CommandInfo& info);
std::string PromptTooltip(const CommandInfo& info);

// What a screen reader calls the command: the menu text, else the tooltip, else
// the status text, else a plain description for the few commands whose texts
// are blank.
std::string CommandName(const CommandInfo& info);
