#include "model/CommandTable.h"

#include "model/CommandIds.h"

#include <cstring>

namespace {

const CommandInfo kCommands[] = {
    {ID_SCALE_62_5, "62,5 m", "Set Scale equal 62,5 m\nSet Scale equal 62,5 m", true},
    {ID_SCALE_125, "125 m", "Set Scale equal 125 m\nSet Scale equal 125 m", true},
    {ID_SCALE_250, "250 m", "Set Scale equal 250 m\nSet Scale equal 250 m", true},
    {ID_SCALE_500, "500 m", "Set Scale equal 500 m\nSet Scale equal 500 m", true},
    {ID_SCALE_1K, "1 km", "Set Scale equal 1 km\nSet Scale equal 1 km", true},
    {ID_SCALE_2K, "2 km", "Set Scale equal 2 km\nSet Scale equal 2 km", true},
    {ID_SCALE_4K, "4 km", "Set Scale equal 4 km\nSet Scale equal 4 km", true},
    {ID_SCALE_8K, "8 km", "Set Scale equal 8 km\nSet Scale equal 8 km", true},
    {ID_SCALE_16K, "16 km", "Set Scale equal 16 km\nSet Scale equal 16 km", true},
    {ID_SCALE_32K, "32 km", "Set Scale equal 32 km\nSet Scale equal 32 km", true},
    {ID_SCALE_64K, "64 km", "Set Scale equal 64 km\nSet Scale equal 64 km", true},
    {ID_SCALE_128K, "128 km", "Set Scale equal 128 km\nSet Scale equal 128 km", true},
    {ID_ANCHOR_CURSOR1, "Measurement Cursor 1",
     "Horizontal Zoom is relative to the measurement Cursor 1\nCursor 1", true},
    {ID_ANCHOR_CURSOR2, "Measerement Cursor 2",
     "Horizontal Zoom is relative to the measurement Cursor 2\nCursor2", true},
    {ID_APPROXIMATION, "Waveform Approximation", "Waveform Approximation\nWaveform Approximation", true},
    {ID_VELOCITY_PRESENTATION, "Velocity Factor - VOP or V/2",
     "Velocity Factor - VOP or V/2\nVelocity Factor - VOP or V/2", true},
    {ID_RETURN_LOSS, "Return Loss (RL)", "Return Loss (RL)\nReturn Loss (RL)", true},
    {ID_MODE_ZOOM, "Zoom", "Mouse wheel controls Zoom, left mouse button controls active cursor position", true},
    {ID_MODE_CURSOR1, "Cursor1 (C1)", "Mouse wheel and left mouse button controls cursor 1 position", true},
    {ID_MODE_CURSOR2, "Cursor2 (C2)", "Mouse wheel and left mouse button controls cursor 2 position", true},
    {ID_MODE_MEMORY1, "Memory1",
     "Mouse wheel and left mouse button controls channel Memory 1 (M1) waveform shifting", true},
    {ID_MODE_MEMORY2, "Memory2",
     "Mouse wheel and left mouse button controls channel Memory 2 (M2) waveform shifting", true},
    {ID_MODE_MEMORY3, "Memory3",
     "Mouse wheel and left mouse button controls channel Memory 3 (M3) waveform shifting", true},
    {ID_LEGEND, "Waveform Legend", "Shows Waveforms Legend\nWaveform Legend", true},
    {ID_PRINT, "Print...", "Print report\nPrint...", false},
    {ID_SAVE_PICTURE, "Save picture...", "Save the plot and its legend as a PNG picture\nSave picture...", false},
    {ID_EDIT_UNDO, "Undo", "Undo the last change of the view (files are not touched)\nUndo", false},
    {ID_EDIT_REDO, "Redo", "Redo the change last undone\nRedo", false},
    {ID_APPLY_SITE_GRID, "", "", true},
    {ID_DUAL_SCREEN, "Dual-Screen Mode",
     "Second screen: displays the whole range waveform and the frame of current Horizontal Zoom\n"
     "Dual-Screen Mode",
     true},
    {ID_CHANNEL_SETTINGS, "Channel settings",
     "Shows Cables Library and Channel Settings panel\nChannel settings", true},
    {ID_MEMORY_PANE, "Memory", "Shows the Waveform Library\nWaveform Library", true},
    {ID_OPEN_WAVE_FOLDER, "", "Open folder with waveforms", false},
    {ID_LOAD_M1, "", "\nLoad waveform to the memory channel M1", true},
    {ID_LOAD_M2, "", "\nLoad waveform to the memory channel M2", true},
    {ID_LOAD_M3, "", "\nLoad waveform to the memory channel M3", true},
    {ID_PREVIEW, "", "\nTurn On waveform preview", true},
    {ID_EXPORT_TEXT, "", "  ", false},
    {ID_OPEN_GRID_FOLDER, "", "Открыть файлы с сетками масштабов\nОткрыть файлы с сетками масштабов", false},
    {ID_CREATE_GRID, "", "Создать новую сетку масштабов\nСоздать новую сетку масштабов", false},
    {ID_ADD_SECTION, "", "Добавить новый участок\nДобавить новый участок", false},
    {ID_COMMIT_SECTION, "", "Сохранить отредактированное значение\nСохранить отредактированное значение", false},
    {ID_DELETE_SECTION, "", "Удалить выделенный участок\nУдалить выделенный участок", false},
    {ID_KU_OPEN, "", "Open Cable Library file\nOpen Cable Library file", false},
    {ID_KU_USE, "", "Use selected value\nUse selected value", false},
    {ID_KU_ADD, "", "Add new value to the library\nAdd new value to the library", false},
    {ID_KU_REMOVE, "", "Remove selected values\nRemove selected values", false},
    {ID_KU_CALIBRATE, "",
     "Velocity factor from a known length between the cursors C1 and C2\nCalibrate from a known length...", false},
    {ID_HELP_CONTENTS, "Contents...", "", false},
    {ID_APP_ABOUT, "About program...", "Display program information, version number and copyright\nAbout",
     false},
    {ID_FILE_NEW, "", "Create a new document\nNew", false},
    {ID_FILE_OPEN, "", "Open an existing document\nOpen", false},
    {ID_NEXT_PANE, "", "Switch to the next window pane\nNext Pane", false},
    {ID_PREV_PANE, "", "Switch back to the previous window pane\nPrevious Pane", false},
};

} // namespace

std::span<const CommandInfo> AllCommands() { return kCommands; }

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& info : kCommands) {
        if (info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

std::string PromptStatus(const CommandInfo& info)
{
    const char* newline = std::strchr(info.prompt, '\n');
    return newline ? std::string(info.prompt, newline) : std::string(info.prompt);
}

std::string PromptTooltip(const CommandInfo& info)
{
    const char* newline = std::strchr(info.prompt, '\n');
    return newline ? std::string(newline + 1) : std::string();
}

namespace {

std::string Trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string CommandName(const CommandInfo& info)
{
    for (const std::string& text : {std::string(info.menuText), PromptTooltip(info), PromptStatus(info)}) {
        if (const std::string name = Trimmed(text); !name.empty()) {
            return name;
        }
    }
    switch (info.id) {
    case ID_EXPORT_TEXT:
        return "Export waveforms as text";
    case ID_APPLY_SITE_GRID:
        return "Apply site grid";
    default:
        return "Command " + std::to_string(info.id);
    }
}
