#include "model/CommandTable.h"

#include "model/CommandIds.h"
#include "model/TextMarks.h"

#include <cstring>

namespace {

const CommandInfo kCommands[] = {
    {ID_SCALE_62_5, QT_TRANSLATE_NOOP("Core", "62,5 m"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 62,5 m\nSet Scale equal 62,5 m"), true},
    {ID_SCALE_125, QT_TRANSLATE_NOOP("Core", "125 m"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 125 m\nSet Scale equal 125 m"), true},
    {ID_SCALE_250, QT_TRANSLATE_NOOP("Core", "250 m"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 250 m\nSet Scale equal 250 m"), true},
    {ID_SCALE_500, QT_TRANSLATE_NOOP("Core", "500 m"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 500 m\nSet Scale equal 500 m"), true},
    {ID_SCALE_1K, QT_TRANSLATE_NOOP("Core", "1 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 1 km\nSet Scale equal 1 km"), true},
    {ID_SCALE_2K, QT_TRANSLATE_NOOP("Core", "2 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 2 km\nSet Scale equal 2 km"), true},
    {ID_SCALE_4K, QT_TRANSLATE_NOOP("Core", "4 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 4 km\nSet Scale equal 4 km"), true},
    {ID_SCALE_8K, QT_TRANSLATE_NOOP("Core", "8 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 8 km\nSet Scale equal 8 km"), true},
    {ID_SCALE_16K, QT_TRANSLATE_NOOP("Core", "16 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 16 km\nSet Scale equal 16 km"), true},
    {ID_SCALE_32K, QT_TRANSLATE_NOOP("Core", "32 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 32 km\nSet Scale equal 32 km"), true},
    {ID_SCALE_64K, QT_TRANSLATE_NOOP("Core", "64 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 64 km\nSet Scale equal 64 km"), true},
    {ID_SCALE_128K, QT_TRANSLATE_NOOP("Core", "128 km"),
     QT_TRANSLATE_NOOP("Core", "Set Scale equal 128 km\nSet Scale equal 128 km"), true},
    {ID_ANCHOR_CURSOR1, QT_TRANSLATE_NOOP("Core", "Measurement Cursor 1"),
     QT_TRANSLATE_NOOP("Core", "Horizontal Zoom is relative to the measurement Cursor 1\nCursor 1"), true},
    {ID_ANCHOR_CURSOR2, QT_TRANSLATE_NOOP("Core", "Measerement Cursor 2"),
     QT_TRANSLATE_NOOP("Core", "Horizontal Zoom is relative to the measurement Cursor 2\nCursor2"), true},
    {ID_APPROXIMATION, QT_TRANSLATE_NOOP("Core", "Waveform Approximation"),
     QT_TRANSLATE_NOOP("Core", "Waveform Approximation\nWaveform Approximation"), true},
    {ID_VELOCITY_PRESENTATION, QT_TRANSLATE_NOOP("Core", "Velocity Factor - VOP or V/2"),
     QT_TRANSLATE_NOOP("Core", "Velocity Factor - VOP or V/2\nVelocity Factor - VOP or V/2"), true},
    {ID_RETURN_LOSS, QT_TRANSLATE_NOOP("Core", "Return Loss (RL)"),
     QT_TRANSLATE_NOOP("Core", "Return Loss (RL)\nReturn Loss (RL)"), true},
    {ID_MODE_ZOOM, QT_TRANSLATE_NOOP("Core", "Zoom"),
     QT_TRANSLATE_NOOP("Core",
                       "Mouse wheel controls Zoom, left mouse button controls active cursor position"),
     true},
    {ID_MODE_CURSOR1, QT_TRANSLATE_NOOP("Core", "Cursor1 (C1)"),
     QT_TRANSLATE_NOOP("Core", "Mouse wheel and left mouse button controls cursor 1 position"), true},
    {ID_MODE_CURSOR2, QT_TRANSLATE_NOOP("Core", "Cursor2 (C2)"),
     QT_TRANSLATE_NOOP("Core", "Mouse wheel and left mouse button controls cursor 2 position"), true},
    {ID_MODE_MEMORY1, QT_TRANSLATE_NOOP("Core", "Memory1"),
     QT_TRANSLATE_NOOP("Core",
                       "Mouse wheel and left mouse button controls channel Memory 1 (M1) waveform shifting"),
     true},
    {ID_MODE_MEMORY2, QT_TRANSLATE_NOOP("Core", "Memory2"),
     QT_TRANSLATE_NOOP("Core",
                       "Mouse wheel and left mouse button controls channel Memory 2 (M2) waveform shifting"),
     true},
    {ID_MODE_MEMORY3, QT_TRANSLATE_NOOP("Core", "Memory3"),
     QT_TRANSLATE_NOOP("Core",
                       "Mouse wheel and left mouse button controls channel Memory 3 (M3) waveform shifting"),
     true},
    {ID_LEGEND, QT_TRANSLATE_NOOP("Core", "Waveform Legend"),
     QT_TRANSLATE_NOOP("Core", "Shows Waveforms Legend\nWaveform Legend"), true},
    {ID_PRINT, QT_TRANSLATE_NOOP("Core", "Print..."), QT_TRANSLATE_NOOP("Core", "Print report\nPrint..."),
     false},
    {ID_SAVE_PICTURE, QT_TRANSLATE_NOOP("Core", "Save picture..."),
     QT_TRANSLATE_NOOP("Core", "Save the plot and its legend as a PNG picture\nSave picture..."), false},
    {ID_EDIT_UNDO, QT_TRANSLATE_NOOP("Core", "Undo"),
     QT_TRANSLATE_NOOP("Core", "Undo the last change of the view (files are not touched)\nUndo"), false},
    {ID_EDIT_REDO, QT_TRANSLATE_NOOP("Core", "Redo"),
     QT_TRANSLATE_NOOP("Core", "Redo the change last undone\nRedo"), false},
    {ID_APPLY_SITE_GRID, "", "", true},
    {ID_DUAL_SCREEN, QT_TRANSLATE_NOOP("Core", "Dual-Screen Mode"),
     QT_TRANSLATE_NOOP("Core", "Second screen: displays the whole range waveform and the frame of current "
                               "Horizontal Zoom\nDual-Screen Mode"),
     true},
    {ID_CHANNEL_SETTINGS, QT_TRANSLATE_NOOP("Core", "Channel settings"),
     QT_TRANSLATE_NOOP("Core", "Shows Cables Library and Channel Settings panel\nChannel settings"), true},
    {ID_MEMORY_PANE, QT_TRANSLATE_NOOP("Core", "Memory"),
     QT_TRANSLATE_NOOP("Core", "Shows the Waveform Library\nWaveform Library"), true},
    {ID_OPEN_WAVE_FOLDER, "", QT_TRANSLATE_NOOP("Core", "Open folder with waveforms"), false},
    {ID_LOAD_M1, "", QT_TRANSLATE_NOOP("Core", "\nLoad waveform to the memory channel M1"), true},
    {ID_LOAD_M2, "", QT_TRANSLATE_NOOP("Core", "\nLoad waveform to the memory channel M2"), true},
    {ID_LOAD_M3, "", QT_TRANSLATE_NOOP("Core", "\nLoad waveform to the memory channel M3"), true},
    {ID_PREVIEW, "", QT_TRANSLATE_NOOP("Core", "\nTurn On waveform preview"), true},
    {ID_EXPORT_TEXT, "", "  ", false},
    {ID_OPEN_GRID_FOLDER, "",
     QT_TRANSLATE_NOOP("Core", "Открыть файлы с сетками масштабов\nОткрыть файлы с сетками масштабов"),
     false},
    {ID_CREATE_GRID, "",
     QT_TRANSLATE_NOOP("Core", "Создать новую сетку масштабов\nСоздать новую сетку масштабов"), false},
    {ID_ADD_SECTION, "", QT_TRANSLATE_NOOP("Core", "Добавить новый участок\nДобавить новый участок"), false},
    {ID_COMMIT_SECTION, "",
     QT_TRANSLATE_NOOP("Core", "Сохранить отредактированное значение\nСохранить отредактированное значение"),
     false},
    {ID_DELETE_SECTION, "",
     QT_TRANSLATE_NOOP("Core", "Удалить выделенный участок\nУдалить выделенный участок"), false},
    {ID_KU_OPEN, "", QT_TRANSLATE_NOOP("Core", "Open Cable Library file\nOpen Cable Library file"), false},
    {ID_KU_USE, "", QT_TRANSLATE_NOOP("Core", "Use selected value\nUse selected value"), false},
    {ID_KU_ADD, "", QT_TRANSLATE_NOOP("Core", "Add new value to the library\nAdd new value to the library"),
     false},
    {ID_KU_REMOVE, "", QT_TRANSLATE_NOOP("Core", "Remove selected values\nRemove selected values"), false},
    {ID_KU_CALIBRATE, "",
     QT_TRANSLATE_NOOP("Core", "Velocity factor from a known length between the cursors C1 and C2\nCalibrate "
                               "from a known length..."),
     false},
    {ID_HELP_CONTENTS, QT_TRANSLATE_NOOP("Core", "Contents..."), "", false},
    {ID_APP_ABOUT, QT_TRANSLATE_NOOP("Core", "About program..."),
     QT_TRANSLATE_NOOP("Core", "Display program information, version number and copyright\nAbout"), false},
    {ID_FILE_NEW, "", QT_TRANSLATE_NOOP("Core", "Create a new document\nNew"), false},
    {ID_FILE_OPEN, "", QT_TRANSLATE_NOOP("Core", "Open an existing document\nOpen"), false},
    {ID_NEXT_PANE, "", QT_TRANSLATE_NOOP("Core", "Switch to the next window pane\nNext Pane"), false},
    {ID_PREV_PANE, "", QT_TRANSLATE_NOOP("Core", "Switch back to the previous window pane\nPrevious Pane"),
     false},
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
        return QT_TRANSLATE_NOOP("Core", "Export waveforms as text");
    case ID_APPLY_SITE_GRID:
        return QT_TRANSLATE_NOOP("Core", "Apply site grid");
    default:
        return "Command " + std::to_string(info.id);
    }
}
