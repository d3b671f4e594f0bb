<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Ondalis developers 2013</source>
        <translation>Ondalis developers 2013</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CCalibrateKU</name>
    <message>
        <source>Known length between C1 and C2:</source>
        <translation>Known length between C1 and C2:</translation>
    </message>
    <message>
        <source>Known length</source>
        <translation>Known length</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Calibrate from a known length</source>
        <translation>Calibrate from a known length</translation>
    </message>
</context>
<context>
    <name>CEventsPage</name>
    <message>
        <source>Events</source>
        <translation>Events</translation>
    </message>
</context>
<context>
    <name>CForm</name>
    <message>
        <source>Whole-range plot</source>
        <translation>Whole-range plot</translation>
    </message>
</context>
<context>
    <name>CFormDraw</name>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Cursor 1</source>
        <translation>Cursor 1</translation>
    </message>
    <message>
        <source>Cursor 2</source>
        <translation>Cursor 2</translation>
    </message>
    <message>
        <source>Memory 1</source>
        <translation>Memory 1</translation>
    </message>
    <message>
        <source>Memory 2</source>
        <translation>Memory 2</translation>
    </message>
    <message>
        <source>Memory 3</source>
        <translation>Memory 3</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>Waveform plot</source>
        <translation>Waveform plot</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>Legend</translation>
    </message>
    <message>
        <source>C1 %1 m, C2 %2 m, L %3</source>
        <translation>C1 %1 m, C2 %2 m, L %3</translation>
    </message>
    <message>
        <source>The picture could not be saved to %1.</source>
        <translation>The picture could not be saved to %1.</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
</context>
<context>
    <name>CFormKU</name>
    <message>
        <source>Library V/2 (*.tku)</source>
        <translation>Library V/2 (*.tku)</translation>
    </message>
    <message>
        <source>Library PR (*.tku)</source>
        <translation>Library PR (*.tku)</translation>
    </message>
    <message>
        <source>is outside %1</source>
        <translation>is outside %1</translation>
    </message>
    <message>
        <source>is not a positive number</source>
        <translation>is not a positive number</translation>
    </message>
    <message>
        <source>Velocity factor library</source>
        <translation>Velocity factor library</translation>
    </message>
    <message>
        <source>Velocity factor library tools</source>
        <translation>Velocity factor library tools</translation>
    </message>
    <message>
        <source>The library file %1 cannot be read; the table stays as it was.</source>
        <translation>The library file %1 cannot be read; the table stays as it was.</translation>
    </message>
    <message>
        <source>To save library of velocity factor</source>
        <translation>To save library of velocity factor</translation>
    </message>
    <message>
        <source>The library could not be saved to %1; the table keeps the change.</source>
        <translation>The library could not be saved to %1; the table keeps the change.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; of &quot;%2&quot; %3; the velocity factor stays as it is.</source>
        <translation>The value &quot;%1&quot; of &quot;%2&quot; %3; the velocity factor stays as it is.</translation>
    </message>
    <message>
        <source>C1 and C2 are at the same point. Place them at the two ends of a stretch of known length first.</source>
        <translation>C1 and C2 are at the same point. Place them at the two ends of a stretch of known length first.</translation>
    </message>
    <message>
        <source>To choose values from library</source>
        <translation>To choose values from library</translation>
    </message>
    <message>
        <source>To remove from value library?</source>
        <translation>To remove from value library?</translation>
    </message>
    <message>
        <source>To choose library of velocity factor</source>
        <translation>To choose library of velocity factor</translation>
    </message>
</context>
<context>
    <name>CFormMemory</name>
    <message>
        <source>The waveform file %1 does not exist.</source>
        <translation>The waveform file %1 does not exist.</translation>
    </message>
    <message>
        <source>%1 is not a waveform file (.tdr) or cannot be read.</source>
        <translation>%1 is not a waveform file (.tdr) or cannot be read.</translation>
    </message>
    <message>
        <source>Select waveforms</source>
        <translation>Select waveforms</translation>
    </message>
    <message>
        <source>Waveforms (*.tdr)</source>
        <translation>Waveforms (*.tdr)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Library pages</source>
        <translation>Library pages</translation>
    </message>
    <message>
        <source>Waveforms</source>
        <translation>Waveforms</translation>
    </message>
    <message>
        <source>Site grids</source>
        <translation>Site grids</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>Waveform library tools</source>
        <translation>Waveform library tools</translation>
    </message>
    <message>
        <source>Writing waveforms as text...</source>
        <translation>Writing waveforms as text...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>These waveforms could not be written as text:</source>
        <translation>These waveforms could not be written as text:</translation>
    </message>
    <message>
        <source>Chosen waveform it isn&apos;t found.
open the new folder with waveforms.</source>
        <translation>Chosen waveform it isn&apos;t found.
open the new folder with waveforms.</translation>
    </message>
    <message>
        <source>%1 is not a site grid file (.pie) or cannot be read.</source>
        <translation>%1 is not a site grid file (.pie) or cannot be read.</translation>
    </message>
</context>
<context>
    <name>CFormParams</name>
    <message>
        <source>Shift M1</source>
        <translation>Shift M1</translation>
    </message>
    <message>
        <source>Shift M2</source>
        <translation>Shift M2</translation>
    </message>
    <message>
        <source>Shift M3</source>
        <translation>Shift M3</translation>
    </message>
    <message>
        <source>Vertical waveform shift M1</source>
        <translation>Vertical waveform shift M1</translation>
    </message>
    <message>
        <source>Vertical waveform shift M2</source>
        <translation>Vertical waveform shift M2</translation>
    </message>
    <message>
        <source>Vertical waveform shift M3</source>
        <translation>Vertical waveform shift M3</translation>
    </message>
    <message>
        <source>Reference M1</source>
        <translation>Reference M1</translation>
    </message>
    <message>
        <source>Reference M2</source>
        <translation>Reference M2</translation>
    </message>
    <message>
        <source>Reference M3</source>
        <translation>Reference M3</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П1 поточечно вычитаются остальные рефлектограммы</source>
        <translation>In the &quot;Difference&quot; mode the other waveforms are subtracted point by point from M1</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П2 поточечно вычитаются остальные рефлектограммы</source>
        <translation>In the &quot;Difference&quot; mode the other waveforms are subtracted point by point from M2</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П3 поточечно вычитаются остальные рефлектограммы</source>
        <translation>In the &quot;Difference&quot; mode the other waveforms are subtracted point by point from M3</translation>
    </message>
    <message>
        <source>Отображать метки</source>
        <translation>Show markers</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Difference</translation>
    </message>
    <message>
        <source>Draw every other waveform as the reference waveform minus it</source>
        <translation>Draw every other waveform as the reference waveform minus it</translation>
    </message>
    <message>
        <source>Current value of velocity factor</source>
        <translation>Current value of velocity factor</translation>
    </message>
</context>
<context>
    <name>CFormSet</name>
    <message>
        <source>C1</source>
        <translation>C1</translation>
    </message>
    <message>
        <source>C2</source>
        <translation>C2</translation>
    </message>
    <message>
        <source>L</source>
        <translation>L</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Distance between zero point to the cursor C1</source>
        <translation>Distance between zero point to the cursor C1</translation>
    </message>
    <message>
        <source>Distance between zero point to the cursor C2</source>
        <translation>Distance between zero point to the cursor C2</translation>
    </message>
    <message>
        <source>Distance between cursors</source>
        <translation>Distance between cursors</translation>
    </message>
    <message>
        <source>Zoom value</source>
        <translation>Zoom value</translation>
    </message>
</context>
<context>
    <name>CHSpin</name>
    <message>
        <source>minimum</source>
        <translation>minimum</translation>
    </message>
    <message>
        <source>step down</source>
        <translation>step down</translation>
    </message>
    <message>
        <source>step up</source>
        <translation>step up</translation>
    </message>
    <message>
        <source>maximum</source>
        <translation>maximum</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Velocity factor library</source>
        <translation>Velocity factor library</translation>
    </message>
    <message>
        <source>Site grids</source>
        <translation>Site grids</translation>
    </message>
    <message>
        <source>Manage</source>
        <translation>Manage</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>The language changes at the next start of the program.</source>
        <translation>The language changes at the next start of the program.</translation>
    </message>
    <message>
        <source>Zoom anchor</source>
        <translation>Zoom anchor</translation>
    </message>
    <message>
        <source>Velocity factor</source>
        <translation>Velocity factor</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Undo %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Redo %1</translation>
    </message>
</context>
<context>
    <name>CSiteGridPage</name>
    <message>
        <source>Название файла</source>
        <translation>File name</translation>
    </message>
    <message>
        <source>Кол-во</source>
        <translation>Sections</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>№</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Название участка</source>
        <translation>Section name</translation>
    </message>
    <message>
        <source>Начало участка</source>
        <translation>Section start</translation>
    </message>
    <message>
        <source>Конец участка</source>
        <translation>Section end</translation>
    </message>
    <message>
        <source>Длинна участка</source>
        <translation>Section length</translation>
    </message>
    <message>
        <source>%1 already exists.
Replace it?</source>
        <translation>%1 already exists.
Replace it?</translation>
    </message>
    <message>
        <source>Site grid files</source>
        <translation>Site grid files</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>Sections</translation>
    </message>
    <message>
        <source>This section&apos;s velocity factor is not a positive number: PR 1.500 is used.</source>
        <translation>This section&apos;s velocity factor is not a positive number: PR 1.500 is used.</translation>
    </message>
    <message>
        <source>Site grid tools</source>
        <translation>Site grid tools</translation>
    </message>
    <message>
        <source>Section tools</source>
        <translation>Section tools</translation>
    </message>
    <message>
        <source>The site grid %1 already exists and was not replaced.</source>
        <translation>The site grid %1 already exists and was not replaced.</translation>
    </message>
    <message>
        <source>The site grid %1 could not be written.</source>
        <translation>The site grid %1 could not be written.</translation>
    </message>
    <message>
        <source>Section name</source>
        <translation>Section name</translation>
    </message>
    <message>
        <source>Section end</source>
        <translation>Section end</translation>
    </message>
    <message>
        <source>Section velocity factor</source>
        <translation>Section velocity factor</translation>
    </message>
    <message>
        <source>Выбрать папку с участками</source>
        <translation>Choose the folder of site grids</translation>
    </message>
    <message>
        <source>Участки (*.pie)</source>
        <translation>Site grids (*.pie)</translation>
    </message>
    <message>
        <source>Введите имя сохраняемого файла</source>
        <translation>Enter the name of the file to save</translation>
    </message>
    <message>
        <source>Участок (*.pie)</source>
        <translation>Site grid (*.pie)</translation>
    </message>
</context>
<context>
    <name>CTableKU</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a velocity factor: enter a positive number.</source>
        <translation>&quot;%1&quot; is not a velocity factor: enter a positive number.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is outside %2: enter a value within that range.</source>
        <translation>&quot;%1&quot; is outside %2: enter a value within that range.</translation>
    </message>
    <message>
        <source>To add value in the table</source>
        <translation>To add value in the table</translation>
    </message>
    <message>
        <source>name</source>
        <translation>name</translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>Name V/2</source>
        <translation>Name V/2</translation>
    </message>
    <message>
        <source>V/2</source>
        <translation>V/2</translation>
    </message>
    <message>
        <source>Name PR</source>
        <translation>Name PR</translation>
    </message>
    <message>
        <source>PR</source>
        <translation>PR</translation>
    </message>
    <message>
        <source>V/2 50 to 150</source>
        <translation>V/2 50 to 150</translation>
    </message>
    <message>
        <source>PR 1 to 3</source>
        <translation>PR 1 to 3</translation>
    </message>
    <message>
        <source>, ghost</source>
        <translation>, ghost</translation>
    </message>
    <message>
        <source>%1: all three memory channels are in use</source>
        <translation>%1: all three memory channels are in use</translation>
    </message>
    <message>
        <source>%1: not a waveform file</source>
        <translation>%1: not a waveform file</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>Distance, m</source>
        <translation>Distance, m</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Amplitude</source>
        <translation>Amplitude</translation>
    </message>
    <message>
        <source>RL, dB</source>
        <translation>RL, dB</translation>
    </message>
    <message>
        <source>V/2 участка</source>
        <translation>Section V/2</translation>
    </message>
    <message>
        <source>КУ участка</source>
        <translation>Section PR</translation>
    </message>
    <message>
        <source>Waveform name</source>
        <translation>Waveform name</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Pulse</source>
        <translation>Pulse</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Impedance</translation>
    </message>
    <message>
        <source>М1</source>
        <translation>M1</translation>
    </message>
    <message>
        <source>М2</source>
        <translation>M2</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>62,5 m</source>
        <translation>62,5 m</translation>
    </message>
    <message>
        <source>Set Scale equal 62,5 m
Set Scale equal 62,5 m</source>
        <translation>Set Scale equal 62,5 m
Set Scale equal 62,5 m</translation>
    </message>
    <message>
        <source>125 m</source>
        <translation>125 m</translation>
    </message>
    <message>
        <source>Set Scale equal 125 m
Set Scale equal 125 m</source>
        <translation>Set Scale equal 125 m
Set Scale equal 125 m</translation>
    </message>
    <message>
        <source>250 m</source>
        <translation>250 m</translation>
    </message>
    <message>
        <source>Set Scale equal 250 m
Set Scale equal 250 m</source>
        <translation>Set Scale equal 250 m
Set Scale equal 250 m</translation>
    </message>
    <message>
        <source>500 m</source>
        <translation>500 m</translation>
    </message>
    <message>
        <source>Set Scale equal 500 m
Set Scale equal 500 m</source>
        <translation>Set Scale equal 500 m
Set Scale equal 500 m</translation>
    </message>
    <message>
        <source>1 km</source>
        <translation>1 km</translation>
    </message>
    <message>
        <source>Set Scale equal 1 km
Set Scale equal 1 km</source>
        <translation>Set Scale equal 1 km
Set Scale equal 1 km</translation>
    </message>
    <message>
        <source>2 km</source>
        <translation>2 km</translation>
    </message>
    <message>
        <source>Set Scale equal 2 km
Set Scale equal 2 km</source>
        <translation>Set Scale equal 2 km
Set Scale equal 2 km</translation>
    </message>
    <message>
        <source>4 km</source>
        <translation>4 km</translation>
    </message>
    <message>
        <source>Set Scale equal 4 km
Set Scale equal 4 km</source>
        <translation>Set Scale equal 4 km
Set Scale equal 4 km</translation>
    </message>
    <message>
        <source>8 km</source>
        <translation>8 km</translation>
    </message>
    <message>
        <source>Set Scale equal 8 km
Set Scale equal 8 km</source>
        <translation>Set Scale equal 8 km
Set Scale equal 8 km</translation>
    </message>
    <message>
        <source>16 km</source>
        <translation>16 km</translation>
    </message>
    <message>
        <source>Set Scale equal 16 km
Set Scale equal 16 km</source>
        <translation>Set Scale equal 16 km
Set Scale equal 16 km</translation>
    </message>
    <message>
        <source>32 km</source>
        <translation>32 km</translation>
    </message>
    <message>
        <source>Set Scale equal 32 km
Set Scale equal 32 km</source>
        <translation>Set Scale equal 32 km
Set Scale equal 32 km</translation>
    </message>
    <message>
        <source>64 km</source>
        <translation>64 km</translation>
    </message>
    <message>
        <source>Set Scale equal 64 km
Set Scale equal 64 km</source>
        <translation>Set Scale equal 64 km
Set Scale equal 64 km</translation>
    </message>
    <message>
        <source>128 km</source>
        <translation>128 km</translation>
    </message>
    <message>
        <source>Set Scale equal 128 km
Set Scale equal 128 km</source>
        <translation>Set Scale equal 128 km
Set Scale equal 128 km</translation>
    </message>
    <message>
        <source>Measurement Cursor 1</source>
        <translation>Measurement Cursor 1</translation>
    </message>
    <message>
        <source>Horizontal Zoom is relative to the measurement Cursor 1
Cursor 1</source>
        <translation>Horizontal Zoom is relative to the measurement Cursor 1
Cursor 1</translation>
    </message>
    <message>
        <source>Measerement Cursor 2</source>
        <translation>Measerement Cursor 2</translation>
    </message>
    <message>
        <source>Horizontal Zoom is relative to the measurement Cursor 2
Cursor2</source>
        <translation>Horizontal Zoom is relative to the measurement Cursor 2
Cursor2</translation>
    </message>
    <message>
        <source>Waveform Approximation</source>
        <translation>Waveform Approximation</translation>
    </message>
    <message>
        <source>Waveform Approximation
Waveform Approximation</source>
        <translation>Waveform Approximation
Waveform Approximation</translation>
    </message>
    <message>
        <source>Velocity Factor - VOP or V/2</source>
        <translation>Velocity Factor - VOP or V/2</translation>
    </message>
    <message>
        <source>Velocity Factor - VOP or V/2
Velocity Factor - VOP or V/2</source>
        <translation>Velocity Factor - VOP or V/2
Velocity Factor - VOP or V/2</translation>
    </message>
    <message>
        <source>Return Loss (RL)</source>
        <translation>Return Loss (RL)</translation>
    </message>
    <message>
        <source>Return Loss (RL)
Return Loss (RL)</source>
        <translation>Return Loss (RL)
Return Loss (RL)</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Mouse wheel controls Zoom, left mouse button controls active cursor position</source>
        <translation>Mouse wheel controls Zoom, left mouse button controls active cursor position</translation>
    </message>
    <message>
        <source>Cursor1 (C1)</source>
        <translation>Cursor1 (C1)</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls cursor 1 position</source>
        <translation>Mouse wheel and left mouse button controls cursor 1 position</translation>
    </message>
    <message>
        <source>Cursor2 (C2)</source>
        <translation>Cursor2 (C2)</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls cursor 2 position</source>
        <translation>Mouse wheel and left mouse button controls cursor 2 position</translation>
    </message>
    <message>
        <source>Memory1</source>
        <translation>Memory1</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 1 (M1) waveform shifting</source>
        <translation>Mouse wheel and left mouse button controls channel Memory 1 (M1) waveform shifting</translation>
    </message>
    <message>
        <source>Memory2</source>
        <translation>Memory2</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 2 (M2) waveform shifting</source>
        <translation>Mouse wheel and left mouse button controls channel Memory 2 (M2) waveform shifting</translation>
    </message>
    <message>
        <source>Memory3</source>
        <translation>Memory3</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 3 (M3) waveform shifting</source>
        <translation>Mouse wheel and left mouse button controls channel Memory 3 (M3) waveform shifting</translation>
    </message>
    <message>
        <source>Waveform Legend</source>
        <translation>Waveform Legend</translation>
    </message>
    <message>
        <source>Shows Waveforms Legend
Waveform Legend</source>
        <translation>Shows Waveforms Legend
Waveform Legend</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>Print report
Print...</source>
        <translation>Print report
Print...</translation>
    </message>
    <message>
        <source>Save picture...</source>
        <translation>Save picture...</translation>
    </message>
    <message>
        <source>Save the plot and its legend as a PNG picture
Save picture...</source>
        <translation>Save the plot and its legend as a PNG picture
Save picture...</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Undo the last change of the view (files are not touched)
Undo</source>
        <translation>Undo the last change of the view (files are not touched)
Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Redo the change last undone
Redo</source>
        <translation>Redo the change last undone
Redo</translation>
    </message>
    <message>
        <source>Dual-Screen Mode</source>
        <translation>Dual-Screen Mode</translation>
    </message>
    <message>
        <source>Second screen: displays the whole range waveform and the frame of current Horizontal Zoom
Dual-Screen Mode</source>
        <translation>Second screen: displays the whole range waveform and the frame of current Horizontal Zoom
Dual-Screen Mode</translation>
    </message>
    <message>
        <source>Channel settings</source>
        <translation>Channel settings</translation>
    </message>
    <message>
        <source>Shows Cables Library and Channel Settings panel
Channel settings</source>
        <translation>Shows Cables Library and Channel Settings panel
Channel settings</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>Shows the Waveform Library
Waveform Library</source>
        <translation>Shows the Waveform Library
Waveform Library</translation>
    </message>
    <message>
        <source>Open folder with waveforms</source>
        <translation>Open folder with waveforms</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M1</source>
        <translation>
Load waveform to the memory channel M1</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M2</source>
        <translation>
Load waveform to the memory channel M2</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M3</source>
        <translation>
Load waveform to the memory channel M3</translation>
    </message>
    <message>
        <source>
Turn On waveform preview</source>
        <translation>
Turn On waveform preview</translation>
    </message>
    <message>
        <source>Открыть файлы с сетками масштабов
Открыть файлы с сетками масштабов</source>
        <translation>Open site grid files
Open site grid files</translation>
    </message>
    <message>
        <source>Создать новую сетку масштабов
Создать новую сетку масштабов</source>
        <translation>Create a new site grid
Create a new site grid</translation>
    </message>
    <message>
        <source>Добавить новый участок
Добавить новый участок</source>
        <translation>Add a new section
Add a new section</translation>
    </message>
    <message>
        <source>Сохранить отредактированное значение
Сохранить отредактированное значение</source>
        <translation>Save the edited value
Save the edited value</translation>
    </message>
    <message>
        <source>Удалить выделенный участок
Удалить выделенный участок</source>
        <translation>Delete the selected section
Delete the selected section</translation>
    </message>
    <message>
        <source>Open Cable Library file
Open Cable Library file</source>
        <translation>Open Cable Library file
Open Cable Library file</translation>
    </message>
    <message>
        <source>Use selected value
Use selected value</source>
        <translation>Use selected value
Use selected value</translation>
    </message>
    <message>
        <source>Add new value to the library
Add new value to the library</source>
        <translation>Add new value to the library
Add new value to the library</translation>
    </message>
    <message>
        <source>Remove selected values
Remove selected values</source>
        <translation>Remove selected values
Remove selected values</translation>
    </message>
    <message>
        <source>Velocity factor from a known length between the cursors C1 and C2
Calibrate from a known length...</source>
        <translation>Velocity factor from a known length between the cursors C1 and C2
Calibrate from a known length...</translation>
    </message>
    <message>
        <source>Contents...</source>
        <translation>Contents...</translation>
    </message>
    <message>
        <source>About program...</source>
        <translation>About program...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>Display program information, version number and copyright
About</translation>
    </message>
    <message>
        <source>Create a new document
New</source>
        <translation>Create a new document
New</translation>
    </message>
    <message>
        <source>Open an existing document
Open</source>
        <translation>Open an existing document
Open</translation>
    </message>
    <message>
        <source>Switch to the next window pane
Next Pane</source>
        <translation>Switch to the next window pane
Next Pane</translation>
    </message>
    <message>
        <source>Switch back to the previous window pane
Previous Pane</source>
        <translation>Switch back to the previous window pane
Previous Pane</translation>
    </message>
    <message>
        <source>Export waveforms as text</source>
        <translation>Export waveforms as text</translation>
    </message>
    <message>
        <source>Apply site grid</source>
        <translation>Apply site grid</translation>
    </message>
    <message>
        <source>open</source>
        <translation>open</translation>
    </message>
    <message>
        <source>short</source>
        <translation>short</translation>
    </message>
    <message>
        <source>water</source>
        <translation>water</translation>
    </message>
    <message>
        <source>splice</source>
        <translation>splice</translation>
    </message>
    <message>
        <source>change</source>
        <translation>change</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Shift</translation>
    </message>
    <message>
        <source>RL</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>Ondalis developers</source>
        <translation>Ondalis developers</translation>
    </message>
    <message>
        <source>Tel. +1 555 0100</source>
        <translation>Tel. +1 555 0100</translation>
    </message>
    <message>
        <source>load M1</source>
        <translation>load M1</translation>
    </message>
    <message>
        <source>load M2</source>
        <translation>load M2</translation>
    </message>
    <message>
        <source>load M3</source>
        <translation>load M3</translation>
    </message>
    <message>
        <source>clear M1</source>
        <translation>clear M1</translation>
    </message>
    <message>
        <source>clear M2</source>
        <translation>clear M2</translation>
    </message>
    <message>
        <source>clear M3</source>
        <translation>clear M3</translation>
    </message>
    <message>
        <source>shift M1</source>
        <translation>shift M1</translation>
    </message>
    <message>
        <source>shift M2</source>
        <translation>shift M2</translation>
    </message>
    <message>
        <source>shift M3</source>
        <translation>shift M3</translation>
    </message>
    <message>
        <source>site grid</source>
        <translation>site grid</translation>
    </message>
    <message>
        <source>scale</source>
        <translation>scale</translation>
    </message>
    <message>
        <source>zoom</source>
        <translation>zoom</translation>
    </message>
    <message>
        <source>V/2-PR</source>
        <translation>V/2-PR</translation>
    </message>
    <message>
        <source>move C1</source>
        <translation>move C1</translation>
    </message>
    <message>
        <source>move C2</source>
        <translation>move C2</translation>
    </message>
    <message>
        <source>velocity factor</source>
        <translation>velocity factor</translation>
    </message>
    <message>
        <source>C1 and C2 are at the same point</source>
        <translation>C1 and C2 are at the same point</translation>
    </message>
    <message>
        <source>The length must be a positive number of metres</source>
        <translation>The length must be a positive number of metres</translation>
    </message>
    <message>
        <source>%1: outside %2, check the cursors and the length</source>
        <translation>%1: outside %2, check the cursors and the length</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>Zero point</source>
        <translation>Zero point</translation>
    </message>
    <message>
        <source>C1</source>
        <translation>C1</translation>
    </message>
    <message>
        <source>C2</source>
        <translation>C2</translation>
    </message>
    <message>
        <source>L</source>
        <translation>L</translation>
    </message>
    <message>
        <source>Internet: </source>
        <translation>Internet: </translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
</context>
<context>
    <name>ReportPage</name>
    <message>
        <source>%1 more events do not fit on the page</source>
        <translation>%1 more events do not fit on the page</translation>
    </message>
</context>
</TS>
