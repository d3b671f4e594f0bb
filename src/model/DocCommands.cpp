#include "model/DocCommands.h"

#include "model/CommandIds.h"
#include "model/DocView.h"
#include "model/ScaleTables.h"
#include "model/ZR815KDoc.h"

namespace {

constexpr int kScaleCommands[tables::kCount] = {ID_SCALE_62_5, ID_SCALE_125, ID_SCALE_250, ID_SCALE_500,
                                                ID_SCALE_1K,   ID_SCALE_2K,  ID_SCALE_4K,  ID_SCALE_8K,
                                                ID_SCALE_16K,  ID_SCALE_32K, ID_SCALE_64K, ID_SCALE_128K};

// The memory channel a shift-mode command needs switched on, or -1.
int ChannelOfModeCommand(int id)
{
    switch (id) {
    case ID_MODE_MEMORY1:
        return 0;
    case ID_MODE_MEMORY2:
        return 1;
    case ID_MODE_MEMORY3:
        return 2;
    default:
        return -1;
    }
}

} // namespace

int ScaleIndexOfCommand(int id)
{
    for (int i = 0; i < tables::kCount; ++i) {
        if (kScaleCommands[i] == id) {
            return i;
        }
    }
    return -1;
}

int MouseModeOfCommand(int id)
{
    switch (id) {
    case ID_MODE_ZOOM:
        return MOUSE_ZOOM;
    case ID_MODE_CURSOR1:
        return MOUSE_CURSOR1;
    case ID_MODE_CURSOR2:
        return MOUSE_CURSOR2;
    case ID_MODE_MEMORY1:
        return MOUSE_SHIFT_M1;
    case ID_MODE_MEMORY2:
        return MOUSE_SHIFT_M2;
    case ID_MODE_MEMORY3:
        return MOUSE_SHIFT_M3;
    default:
        return -1;
    }
}

bool RunDocCommand(CZR815KDoc& doc, int id)
{
    if (const int index = ScaleIndexOfCommand(id); index >= 0) {
        doc.SetScale(index);
        return true;
    }
    if (const int mode = MouseModeOfCommand(id); mode >= 0) {
        if (mode == MOUSE_CURSOR1 || mode == MOUSE_CURSOR2) {
            doc.SelectCursorMode(mode);
        } else {
            doc.m_nMouseMode = mode; // picking the mode alone redraws nothing
        }
        return true;
    }
    switch (id) {
    case ID_ANCHOR_CURSOR1:
        doc.m_pZoomAnchor = &doc.m_dCursor1;
        return true;
    case ID_ANCHOR_CURSOR2:
        doc.m_pZoomAnchor = &doc.m_dCursor2;
        return true;
    case ID_APPROXIMATION:
        doc.m_bApproximation = !doc.m_bApproximation;
        doc.UpdateAllViews(nullptr, HINT_REDRAW);
        return true;
    case ID_VELOCITY_PRESENTATION:
        doc.m_bShowHalfVelocity = !doc.m_bShowHalfVelocity;
        doc.UpdateAllViews(nullptr, HINT_VELOCITY);
        return true;
    case ID_RETURN_LOSS:
        doc.m_bReturnLoss = !doc.m_bReturnLoss;
        doc.UpdateAllViews(nullptr, HINT_RETURN_LOSS);
        return true;
    default:
        return false;
    }
}

std::optional<CommandState> DocCommandState(const CZR815KDoc& doc, int id)
{
    if (const int index = ScaleIndexOfCommand(id); index >= 0) {
        return CommandState{true, doc.m_dScale == tables::kScale[index]};
    }
    if (const int mode = MouseModeOfCommand(id); mode >= 0) {
        const int channel = ChannelOfModeCommand(id);
        const bool enabled = channel < 0 || doc.m_memory[channel].m_bOn;
        return CommandState{enabled, doc.m_nMouseMode == mode};
    }
    switch (id) {
    case ID_ANCHOR_CURSOR1: {
        const bool isAnchor = doc.m_pZoomAnchor == &doc.m_dCursor1;
        return CommandState{doc.m_nZoom == 0 || isAnchor, isAnchor};
    }
    case ID_ANCHOR_CURSOR2: {
        const bool isAnchor = doc.m_pZoomAnchor == &doc.m_dCursor2;
        return CommandState{doc.m_nZoom == 0 || isAnchor, isAnchor};
    }
    case ID_APPROXIMATION:
        return CommandState{true, doc.m_bApproximation};
    case ID_VELOCITY_PRESENTATION:
        return CommandState{true, doc.m_bShowHalfVelocity};
    case ID_RETURN_LOSS:
        return CommandState{true, doc.m_bReturnLoss};
    case ID_APPLY_SITE_GRID:
        return CommandState{doc.m_bGridSelected, doc.m_bGridApplied};
    default:
        return std::nullopt;
    }
}
