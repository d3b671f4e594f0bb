// Command identifiers of menus, tool bars and the plot's context menu.
#pragma once

enum CommandId : int {
    // Scale
    ID_SCALE_62_5 = 32806,
    ID_SCALE_125 = 32807,
    ID_SCALE_250 = 32808,
    ID_SCALE_500 = 32809,
    ID_SCALE_1K = 32810,
    ID_SCALE_2K = 32811,
    ID_SCALE_4K = 32812,
    ID_SCALE_8K = 32813,
    ID_SCALE_16K = 32814,
    ID_SCALE_32K = 32815,
    ID_SCALE_64K = 32816,
    ID_SCALE_128K = 178,
    // Zoom anchor
    ID_ANCHOR_CURSOR1 = 32820,
    ID_ANCHOR_CURSOR2 = 32821,
    // Display
    ID_APPROXIMATION = 32828,
    ID_VELOCITY_PRESENTATION = 33000,
    ID_RETURN_LOSS = 33002,
    ID_LEGEND = 32819,
    ID_PRINT = 32976,
    ID_SAVE_PICTURE = 33101,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APPLY_SITE_GRID = 33012,
    // Mouse modes
    ID_MODE_ZOOM = 32941,
    ID_MODE_CURSOR1 = 32942,
    ID_MODE_CURSOR2 = 32943,
    ID_MODE_MEMORY1 = 32946,
    ID_MODE_MEMORY2 = 32947,
    ID_MODE_MEMORY3 = 32948,
    // Panes
    ID_DUAL_SCREEN = 32840,
    ID_CHANNEL_SETTINGS = 32923,
    ID_MEMORY_PANE = 32924,
    ID_PREVIEW = 32975,
    // Waveform library panel
    ID_OPEN_WAVE_FOLDER = 32959,
    ID_LOAD_M1 = 32960,
    ID_LOAD_M2 = 32962,
    ID_LOAD_M3 = 32964,
    ID_EXPORT_TEXT = 33028,
    // Site grids (page 2 of the waveform library panel)
    ID_OPEN_GRID_FOLDER = 33010,
    ID_CREATE_GRID = 33011,
    ID_ADD_SECTION = 33016,
    ID_COMMIT_SECTION = 33017,
    ID_DELETE_SECTION = 33018,
    // Velocity-factor library panel
    ID_KU_OPEN = 32953,
    ID_KU_USE = 32954,
    ID_KU_ADD = 32955,
    ID_KU_REMOVE = 32956,
    ID_KU_CALIBRATE = 33100,
    // Help and application
    ID_HELP_CONTENTS = 32996,
    ID_APP_ABOUT = 57664,
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
};
