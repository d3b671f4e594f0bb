<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Ondalis developers 2013</source>
        <translation>Разработчики Ondalis, 2013</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
</context>
<context>
    <name>CCalibrateKU</name>
    <message>
        <source>Known length between C1 and C2:</source>
        <translation>Известная длина между C1 и C2:</translation>
    </message>
    <message>
        <source>Known length</source>
        <translation>Известная длина</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>name</source>
        <translation>название</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Результат</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Calibrate from a known length</source>
        <translation>Калибровка по известной длине</translation>
    </message>
</context>
<context>
    <name>CEventsPage</name>
    <message>
        <source>Events</source>
        <translation>События</translation>
    </message>
</context>
<context>
    <name>CForm</name>
    <message>
        <source>Whole-range plot</source>
        <translation>Рефлектограмма на всём диапазоне</translation>
    </message>
</context>
<context>
    <name>CFormDraw</name>
    <message>
        <source>Zoom</source>
        <translation>Растяжка</translation>
    </message>
    <message>
        <source>Cursor 1</source>
        <translation>Курсор 1</translation>
    </message>
    <message>
        <source>Cursor 2</source>
        <translation>Курсор 2</translation>
    </message>
    <message>
        <source>Memory 1</source>
        <translation>Память 1</translation>
    </message>
    <message>
        <source>Memory 2</source>
        <translation>Память 2</translation>
    </message>
    <message>
        <source>Memory 3</source>
        <translation>Память 3</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Сохранить изображение</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>Изображения PNG (*.png)</translation>
    </message>
    <message>
        <source>Waveform plot</source>
        <translation>Рефлектограмма</translation>
    </message>
    <message>
        <source>Legend</source>
        <translation>Легенда</translation>
    </message>
    <message>
        <source>C1 %1 m, C2 %2 m, L %3</source>
        <translation>C1 %1 м, C2 %2 м, L %3</translation>
    </message>
    <message>
        <source>The picture could not be saved to %1.</source>
        <translation>Не удалось сохранить изображение в %1.</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Без названия</translation>
    </message>
</context>
<context>
    <name>CFormKU</name>
    <message>
        <source>Library V/2 (*.tku)</source>
        <translation>Библиотека V/2 (*.tku)</translation>
    </message>
    <message>
        <source>Library PR (*.tku)</source>
        <translation>Библиотека КУ (*.tku)</translation>
    </message>
    <message>
        <source>is outside %1</source>
        <translation>вне диапазона %1</translation>
    </message>
    <message>
        <source>is not a positive number</source>
        <translation>не является положительным числом</translation>
    </message>
    <message>
        <source>Velocity factor library</source>
        <translation>Библиотека коэффициентов укорочения</translation>
    </message>
    <message>
        <source>Velocity factor library tools</source>
        <translation>Инструменты библиотеки коэффициентов укорочения</translation>
    </message>
    <message>
        <source>The library file %1 cannot be read; the table stays as it was.</source>
        <translation>Не удаётся прочитать файл библиотеки %1; таблица осталась прежней.</translation>
    </message>
    <message>
        <source>To save library of velocity factor</source>
        <translation>Сохранить библиотеку коэффициентов укорочения</translation>
    </message>
    <message>
        <source>The library could not be saved to %1; the table keeps the change.</source>
        <translation>Не удалось сохранить библиотеку в %1; изменение остаётся в таблице.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; of &quot;%2&quot; %3; the velocity factor stays as it is.</source>
        <translation>Значение «%1» записи «%2» %3; коэффициент укорочения не изменён.</translation>
    </message>
    <message>
        <source>C1 and C2 are at the same point. Place them at the two ends of a stretch of known length first.</source>
        <translation>Курсоры C1 и C2 стоят в одной точке. Сначала поставьте их на концы отрезка известной длины.</translation>
    </message>
    <message>
        <source>To choose values from library</source>
        <translation>Выберите значения из библиотеки</translation>
    </message>
    <message>
        <source>To remove from value library?</source>
        <translation>Удалить из библиотеки значений?</translation>
    </message>
    <message>
        <source>To choose library of velocity factor</source>
        <translation>Выбор библиотеки коэффициентов укорочения</translation>
    </message>
</context>
<context>
    <name>CFormMemory</name>
    <message>
        <source>The waveform file %1 does not exist.</source>
        <translation>Файла рефлектограммы %1 не существует.</translation>
    </message>
    <message>
        <source>%1 is not a waveform file (.tdr) or cannot be read.</source>
        <translation>%1 не является файлом рефлектограммы (.tdr) или не читается.</translation>
    </message>
    <message>
        <source>Select waveforms</source>
        <translation>Выбор рефлектограмм</translation>
    </message>
    <message>
        <source>Waveforms (*.tdr)</source>
        <translation>Рефлектограммы (*.tdr)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Library pages</source>
        <translation>Страницы библиотеки</translation>
    </message>
    <message>
        <source>Waveforms</source>
        <translation>Рефлектограммы</translation>
    </message>
    <message>
        <source>Site grids</source>
        <translation>Сетки масштабов</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>События</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Просмотр</translation>
    </message>
    <message>
        <source>Waveform library tools</source>
        <translation>Инструменты библиотеки рефлектограмм</translation>
    </message>
    <message>
        <source>Writing waveforms as text...</source>
        <translation>Запись рефлектограмм в текст...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>These waveforms could not be written as text:</source>
        <translation>Не удалось записать в текст эти рефлектограммы:</translation>
    </message>
    <message>
        <source>Chosen waveform it isn&apos;t found.
open the new folder with waveforms.</source>
        <translation>Выбранная рефлектограмма не найдена.
Откройте другую папку с рефлектограммами.</translation>
    </message>
    <message>
        <source>%1 is not a site grid file (.pie) or cannot be read.</source>
        <translation>%1 не является файлом сетки масштабов (.pie) или не читается.</translation>
    </message>
</context>
<context>
    <name>CFormParams</name>
    <message>
        <source>Shift M1</source>
        <translation>Сдвиг M1</translation>
    </message>
    <message>
        <source>Shift M2</source>
        <translation>Сдвиг M2</translation>
    </message>
    <message>
        <source>Shift M3</source>
        <translation>Сдвиг M3</translation>
    </message>
    <message>
        <source>Vertical waveform shift M1</source>
        <translation>Вертикальный сдвиг рефлектограммы M1</translation>
    </message>
    <message>
        <source>Vertical waveform shift M2</source>
        <translation>Вертикальный сдвиг рефлектограммы M2</translation>
    </message>
    <message>
        <source>Vertical waveform shift M3</source>
        <translation>Вертикальный сдвиг рефлектограммы M3</translation>
    </message>
    <message>
        <source>Reference M1</source>
        <translation>Опорная M1</translation>
    </message>
    <message>
        <source>Reference M2</source>
        <translation>Опорная M2</translation>
    </message>
    <message>
        <source>Reference M3</source>
        <translation>Опорная M3</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П1 поточечно вычитаются остальные рефлектограммы</source>
        <translation>В режиме &quot;Разность&quot; из П1 поточечно вычитаются остальные рефлектограммы</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П2 поточечно вычитаются остальные рефлектограммы</source>
        <translation>В режиме &quot;Разность&quot; из П2 поточечно вычитаются остальные рефлектограммы</translation>
    </message>
    <message>
        <source>В режиме &quot;Разность&quot; из П3 поточечно вычитаются остальные рефлектограммы</source>
        <translation>В режиме &quot;Разность&quot; из П3 поточечно вычитаются остальные рефлектограммы</translation>
    </message>
    <message>
        <source>Отображать метки</source>
        <translation>Отображать метки</translation>
    </message>
    <message>
        <source>Difference</source>
        <translation>Разность</translation>
    </message>
    <message>
        <source>Draw every other waveform as the reference waveform minus it</source>
        <translation>Показывать остальные рефлектограммы как разность опорной и каждой из них</translation>
    </message>
    <message>
        <source>Current value of velocity factor</source>
        <translation>Текущее значение коэффициента укорочения</translation>
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
        <translation>Растяжка</translation>
    </message>
    <message>
        <source>Distance between zero point to the cursor C1</source>
        <translation>Расстояние от нулевой точки до курсора C1</translation>
    </message>
    <message>
        <source>Distance between zero point to the cursor C2</source>
        <translation>Расстояние от нулевой точки до курсора C2</translation>
    </message>
    <message>
        <source>Distance between cursors</source>
        <translation>Расстояние между курсорами</translation>
    </message>
    <message>
        <source>Zoom value</source>
        <translation>Значение растяжки</translation>
    </message>
</context>
<context>
    <name>CHSpin</name>
    <message>
        <source>minimum</source>
        <translation>минимум</translation>
    </message>
    <message>
        <source>step down</source>
        <translation>шаг вниз</translation>
    </message>
    <message>
        <source>step up</source>
        <translation>шаг вверх</translation>
    </message>
    <message>
        <source>maximum</source>
        <translation>максимум</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Каналы</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Velocity factor library</source>
        <translation>Библиотека коэффициентов укорочения</translation>
    </message>
    <message>
        <source>Site grids</source>
        <translation>Сетки масштабов</translation>
    </message>
    <message>
        <source>Manage</source>
        <translation>Управление</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>Язык системы</translation>
    </message>
    <message>
        <source>The language changes at the next start of the program.</source>
        <translation>Язык сменится при следующем запуске программы.</translation>
    </message>
    <message>
        <source>Zoom anchor</source>
        <translation>Центр растяжки</translation>
    </message>
    <message>
        <source>Velocity factor</source>
        <translation>Коэффициент укорочения</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Отображение</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Отменить %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Повторить %1</translation>
    </message>
</context>
<context>
    <name>CSiteGridPage</name>
    <message>
        <source>Название файла</source>
        <translation>Название файла</translation>
    </message>
    <message>
        <source>Кол-во</source>
        <translation>Кол-во</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>№</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Название участка</source>
        <translation>Название участка</translation>
    </message>
    <message>
        <source>Начало участка</source>
        <translation>Начало участка</translation>
    </message>
    <message>
        <source>Конец участка</source>
        <translation>Конец участка</translation>
    </message>
    <message>
        <source>Длинна участка</source>
        <translation>Длинна участка</translation>
    </message>
    <message>
        <source>%1 already exists.
Replace it?</source>
        <translation>%1 уже существует.
Заменить?</translation>
    </message>
    <message>
        <source>Site grid files</source>
        <translation>Файлы сеток масштабов</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>Участки</translation>
    </message>
    <message>
        <source>This section&apos;s velocity factor is not a positive number: PR 1.500 is used.</source>
        <translation>Коэффициент укорочения этого участка не положительное число: взят КУ 1.500.</translation>
    </message>
    <message>
        <source>Site grid tools</source>
        <translation>Инструменты сеток масштабов</translation>
    </message>
    <message>
        <source>Section tools</source>
        <translation>Инструменты участков</translation>
    </message>
    <message>
        <source>The site grid %1 already exists and was not replaced.</source>
        <translation>Сетка масштабов %1 уже существует и не заменена.</translation>
    </message>
    <message>
        <source>The site grid %1 could not be written.</source>
        <translation>Не удалось записать сетку масштабов %1.</translation>
    </message>
    <message>
        <source>Section name</source>
        <translation>Название участка</translation>
    </message>
    <message>
        <source>Section end</source>
        <translation>Конец участка</translation>
    </message>
    <message>
        <source>Section velocity factor</source>
        <translation>Коэффициент укорочения участка</translation>
    </message>
    <message>
        <source>Выбрать папку с участками</source>
        <translation>Выбрать папку с участками</translation>
    </message>
    <message>
        <source>Участки (*.pie)</source>
        <translation>Участки (*.pie)</translation>
    </message>
    <message>
        <source>Введите имя сохраняемого файла</source>
        <translation>Введите имя сохраняемого файла</translation>
    </message>
    <message>
        <source>Участок (*.pie)</source>
        <translation>Участок (*.pie)</translation>
    </message>
</context>
<context>
    <name>CTableKU</name>
    <message>
        <source>Name</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a velocity factor: enter a positive number.</source>
        <translation>«%1» не коэффициент укорочения: введите положительное число.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is outside %2: enter a value within that range.</source>
        <translation>«%1» вне диапазона %2: введите значение в этих пределах.</translation>
    </message>
    <message>
        <source>To add value in the table</source>
        <translation>Добавить значение в таблицу</translation>
    </message>
    <message>
        <source>name</source>
        <translation>название</translation>
    </message>
</context>
<context>
    <name>Core</name>
    <message>
        <source>Name V/2</source>
        <translation>Название V/2</translation>
    </message>
    <message>
        <source>V/2</source>
        <translation>V/2</translation>
    </message>
    <message>
        <source>Name PR</source>
        <translation>Название КУ</translation>
    </message>
    <message>
        <source>PR</source>
        <translation>КУ</translation>
    </message>
    <message>
        <source>V/2 50 to 150</source>
        <translation>V/2 от 50 до 150</translation>
    </message>
    <message>
        <source>PR 1 to 3</source>
        <translation>КУ от 1 до 3</translation>
    </message>
    <message>
        <source>, ghost</source>
        <translation>, ложное</translation>
    </message>
    <message>
        <source>%1: all three memory channels are in use</source>
        <translation>%1: все три канала памяти заняты</translation>
    </message>
    <message>
        <source>%1: not a waveform file</source>
        <translation>%1: не файл рефлектограммы</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Distance, m</source>
        <translation>Расстояние, м</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Amplitude</source>
        <translation>Амплитуда</translation>
    </message>
    <message>
        <source>RL, dB</source>
        <translation>RL, дБ</translation>
    </message>
    <message>
        <source>V/2 участка</source>
        <translation>V/2 участка</translation>
    </message>
    <message>
        <source>КУ участка</source>
        <translation>КУ участка</translation>
    </message>
    <message>
        <source>Waveform name</source>
        <translation>Название рефлектограммы</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Pulse</source>
        <translation>Импульс</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Усредн.</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Усил.</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Импеданс</translation>
    </message>
    <message>
        <source>М1</source>
        <translation>М1</translation>
    </message>
    <message>
        <source>М2</source>
        <translation>М2</translation>
    </message>
    <message>
        <source>Method</source>
        <translation>Метод</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Порог</translation>
    </message>
    <message>
        <source>Delay</source>
        <translation>Задерж.</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>62,5 m</source>
        <translation>62,5 м</translation>
    </message>
    <message>
        <source>Set Scale equal 62,5 m
Set Scale equal 62,5 m</source>
        <translation>Установить масштаб 62,5 м
Масштаб 62,5 м</translation>
    </message>
    <message>
        <source>125 m</source>
        <translation>125 м</translation>
    </message>
    <message>
        <source>Set Scale equal 125 m
Set Scale equal 125 m</source>
        <translation>Установить масштаб 125 м
Масштаб 125 м</translation>
    </message>
    <message>
        <source>250 m</source>
        <translation>250 м</translation>
    </message>
    <message>
        <source>Set Scale equal 250 m
Set Scale equal 250 m</source>
        <translation>Установить масштаб 250 м
Масштаб 250 м</translation>
    </message>
    <message>
        <source>500 m</source>
        <translation>500 м</translation>
    </message>
    <message>
        <source>Set Scale equal 500 m
Set Scale equal 500 m</source>
        <translation>Установить масштаб 500 м
Масштаб 500 м</translation>
    </message>
    <message>
        <source>1 km</source>
        <translation>1 км</translation>
    </message>
    <message>
        <source>Set Scale equal 1 km
Set Scale equal 1 km</source>
        <translation>Установить масштаб 1 км
Масштаб 1 км</translation>
    </message>
    <message>
        <source>2 km</source>
        <translation>2 км</translation>
    </message>
    <message>
        <source>Set Scale equal 2 km
Set Scale equal 2 km</source>
        <translation>Установить масштаб 2 км
Масштаб 2 км</translation>
    </message>
    <message>
        <source>4 km</source>
        <translation>4 км</translation>
    </message>
    <message>
        <source>Set Scale equal 4 km
Set Scale equal 4 km</source>
        <translation>Установить масштаб 4 км
Масштаб 4 км</translation>
    </message>
    <message>
        <source>8 km</source>
        <translation>8 км</translation>
    </message>
    <message>
        <source>Set Scale equal 8 km
Set Scale equal 8 km</source>
        <translation>Установить масштаб 8 км
Масштаб 8 км</translation>
    </message>
    <message>
        <source>16 km</source>
        <translation>16 км</translation>
    </message>
    <message>
        <source>Set Scale equal 16 km
Set Scale equal 16 km</source>
        <translation>Установить масштаб 16 км
Масштаб 16 км</translation>
    </message>
    <message>
        <source>32 km</source>
        <translation>32 км</translation>
    </message>
    <message>
        <source>Set Scale equal 32 km
Set Scale equal 32 km</source>
        <translation>Установить масштаб 32 км
Масштаб 32 км</translation>
    </message>
    <message>
        <source>64 km</source>
        <translation>64 км</translation>
    </message>
    <message>
        <source>Set Scale equal 64 km
Set Scale equal 64 km</source>
        <translation>Установить масштаб 64 км
Масштаб 64 км</translation>
    </message>
    <message>
        <source>128 km</source>
        <translation>128 км</translation>
    </message>
    <message>
        <source>Set Scale equal 128 km
Set Scale equal 128 km</source>
        <translation>Установить масштаб 128 км
Масштаб 128 км</translation>
    </message>
    <message>
        <source>Measurement Cursor 1</source>
        <translation>Измерительный курсор 1</translation>
    </message>
    <message>
        <source>Horizontal Zoom is relative to the measurement Cursor 1
Cursor 1</source>
        <translation>Горизонтальная растяжка относительно измерительного курсора 1
Курсор 1</translation>
    </message>
    <message>
        <source>Measerement Cursor 2</source>
        <translation>Измерительный курсор 2</translation>
    </message>
    <message>
        <source>Horizontal Zoom is relative to the measurement Cursor 2
Cursor2</source>
        <translation>Горизонтальная растяжка относительно измерительного курсора 2
Курсор 2</translation>
    </message>
    <message>
        <source>Waveform Approximation</source>
        <translation>Аппроксимация рефлектограммы</translation>
    </message>
    <message>
        <source>Waveform Approximation
Waveform Approximation</source>
        <translation>Аппроксимация рефлектограммы
Аппроксимация рефлектограммы</translation>
    </message>
    <message>
        <source>Velocity Factor - VOP or V/2</source>
        <translation>Коэффициент укорочения: КУ или V/2</translation>
    </message>
    <message>
        <source>Velocity Factor - VOP or V/2
Velocity Factor - VOP or V/2</source>
        <translation>Коэффициент укорочения: КУ или V/2
Коэффициент укорочения: КУ или V/2</translation>
    </message>
    <message>
        <source>Return Loss (RL)</source>
        <translation>Обратные потери (RL)</translation>
    </message>
    <message>
        <source>Return Loss (RL)
Return Loss (RL)</source>
        <translation>Обратные потери (RL)
Обратные потери (RL)</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Растяжка</translation>
    </message>
    <message>
        <source>Mouse wheel controls Zoom, left mouse button controls active cursor position</source>
        <translation>Колесо мыши управляет растяжкой, левая кнопка мыши — положением активного курсора</translation>
    </message>
    <message>
        <source>Cursor1 (C1)</source>
        <translation>Курсор 1 (C1)</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls cursor 1 position</source>
        <translation>Колесо и левая кнопка мыши управляют положением курсора 1</translation>
    </message>
    <message>
        <source>Cursor2 (C2)</source>
        <translation>Курсор 2 (C2)</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls cursor 2 position</source>
        <translation>Колесо и левая кнопка мыши управляют положением курсора 2</translation>
    </message>
    <message>
        <source>Memory1</source>
        <translation>Память 1</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 1 (M1) waveform shifting</source>
        <translation>Колесо и левая кнопка мыши сдвигают рефлектограмму канала памяти 1 (M1)</translation>
    </message>
    <message>
        <source>Memory2</source>
        <translation>Память 2</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 2 (M2) waveform shifting</source>
        <translation>Колесо и левая кнопка мыши сдвигают рефлектограмму канала памяти 2 (M2)</translation>
    </message>
    <message>
        <source>Memory3</source>
        <translation>Память 3</translation>
    </message>
    <message>
        <source>Mouse wheel and left mouse button controls channel Memory 3 (M3) waveform shifting</source>
        <translation>Колесо и левая кнопка мыши сдвигают рефлектограмму канала памяти 3 (M3)</translation>
    </message>
    <message>
        <source>Waveform Legend</source>
        <translation>Легенда рефлектограмм</translation>
    </message>
    <message>
        <source>Shows Waveforms Legend
Waveform Legend</source>
        <translation>Показывает легенду рефлектограмм
Легенда рефлектограмм</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>Печать...</translation>
    </message>
    <message>
        <source>Print report
Print...</source>
        <translation>Печать отчёта
Печать...</translation>
    </message>
    <message>
        <source>Save picture...</source>
        <translation>Сохранить изображение...</translation>
    </message>
    <message>
        <source>Save the plot and its legend as a PNG picture
Save picture...</source>
        <translation>Сохранить рефлектограмму с легендой как изображение PNG
Сохранить изображение...</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Undo the last change of the view (files are not touched)
Undo</source>
        <translation>Отменить последнее изменение вида (файлы не затрагиваются)
Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo the change last undone
Redo</source>
        <translation>Повторить последнее отменённое изменение
Повторить</translation>
    </message>
    <message>
        <source>Dual-Screen Mode</source>
        <translation>Режим двух экранов</translation>
    </message>
    <message>
        <source>Second screen: displays the whole range waveform and the frame of current Horizontal Zoom
Dual-Screen Mode</source>
        <translation>Второй экран: рефлектограмма на всём диапазоне и рамка текущей горизонтальной растяжки
Режим двух экранов</translation>
    </message>
    <message>
        <source>Channel settings</source>
        <translation>Настройки каналов</translation>
    </message>
    <message>
        <source>Shows Cables Library and Channel Settings panel
Channel settings</source>
        <translation>Показывает библиотеку кабелей и панель настроек каналов
Настройки каналов</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Память</translation>
    </message>
    <message>
        <source>Shows the Waveform Library
Waveform Library</source>
        <translation>Показывает библиотеку рефлектограмм
Библиотека рефлектограмм</translation>
    </message>
    <message>
        <source>Open folder with waveforms</source>
        <translation>Открыть папку с рефлектограммами</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M1</source>
        <translation>
Загрузить рефлектограмму в канал памяти M1</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M2</source>
        <translation>
Загрузить рефлектограмму в канал памяти M2</translation>
    </message>
    <message>
        <source>
Load waveform to the memory channel M3</source>
        <translation>
Загрузить рефлектограмму в канал памяти M3</translation>
    </message>
    <message>
        <source>
Turn On waveform preview</source>
        <translation>
Включить предварительный просмотр рефлектограммы</translation>
    </message>
    <message>
        <source>Открыть файлы с сетками масштабов
Открыть файлы с сетками масштабов</source>
        <translation>Открыть файлы с сетками масштабов
Открыть файлы с сетками масштабов</translation>
    </message>
    <message>
        <source>Создать новую сетку масштабов
Создать новую сетку масштабов</source>
        <translation>Создать новую сетку масштабов
Создать новую сетку масштабов</translation>
    </message>
    <message>
        <source>Добавить новый участок
Добавить новый участок</source>
        <translation>Добавить новый участок
Добавить новый участок</translation>
    </message>
    <message>
        <source>Сохранить отредактированное значение
Сохранить отредактированное значение</source>
        <translation>Сохранить отредактированное значение
Сохранить отредактированное значение</translation>
    </message>
    <message>
        <source>Удалить выделенный участок
Удалить выделенный участок</source>
        <translation>Удалить выделенный участок
Удалить выделенный участок</translation>
    </message>
    <message>
        <source>Open Cable Library file
Open Cable Library file</source>
        <translation>Открыть файл библиотеки кабелей
Открыть файл библиотеки кабелей</translation>
    </message>
    <message>
        <source>Use selected value
Use selected value</source>
        <translation>Применить выбранное значение
Применить выбранное значение</translation>
    </message>
    <message>
        <source>Add new value to the library
Add new value to the library</source>
        <translation>Добавить новое значение в библиотеку
Добавить новое значение в библиотеку</translation>
    </message>
    <message>
        <source>Remove selected values
Remove selected values</source>
        <translation>Удалить выбранные значения
Удалить выбранные значения</translation>
    </message>
    <message>
        <source>Velocity factor from a known length between the cursors C1 and C2
Calibrate from a known length...</source>
        <translation>Коэффициент укорочения по известной длине между курсорами C1 и C2
Калибровка по известной длине...</translation>
    </message>
    <message>
        <source>Contents...</source>
        <translation>Содержание...</translation>
    </message>
    <message>
        <source>About program...</source>
        <translation>О программе...</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright
About</source>
        <translation>Сведения о программе, номер версии и авторские права
О программе</translation>
    </message>
    <message>
        <source>Create a new document
New</source>
        <translation>Создать новый документ
Создать</translation>
    </message>
    <message>
        <source>Open an existing document
Open</source>
        <translation>Открыть существующий документ
Открыть</translation>
    </message>
    <message>
        <source>Switch to the next window pane
Next Pane</source>
        <translation>Перейти к следующей панели окна
Следующая панель</translation>
    </message>
    <message>
        <source>Switch back to the previous window pane
Previous Pane</source>
        <translation>Вернуться к предыдущей панели окна
Предыдущая панель</translation>
    </message>
    <message>
        <source>Export waveforms as text</source>
        <translation>Экспорт рефлектограмм в текст</translation>
    </message>
    <message>
        <source>Apply site grid</source>
        <translation>Применить сетку масштабов</translation>
    </message>
    <message>
        <source>open</source>
        <translation>обрыв</translation>
    </message>
    <message>
        <source>short</source>
        <translation>короткое замыкание</translation>
    </message>
    <message>
        <source>water</source>
        <translation>намокание</translation>
    </message>
    <message>
        <source>splice</source>
        <translation>муфта</translation>
    </message>
    <message>
        <source>change</source>
        <translation>смена кабеля</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Сдвиг</translation>
    </message>
    <message>
        <source>RL</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>Ondalis developers</source>
        <translation>Разработчики Ondalis</translation>
    </message>
    <message>
        <source>Tel. +1 555 0100</source>
        <translation>Тел. +1 555 0100</translation>
    </message>
    <message>
        <source>load M1</source>
        <translation>загрузку M1</translation>
    </message>
    <message>
        <source>load M2</source>
        <translation>загрузку M2</translation>
    </message>
    <message>
        <source>load M3</source>
        <translation>загрузку M3</translation>
    </message>
    <message>
        <source>clear M1</source>
        <translation>очистку M1</translation>
    </message>
    <message>
        <source>clear M2</source>
        <translation>очистку M2</translation>
    </message>
    <message>
        <source>clear M3</source>
        <translation>очистку M3</translation>
    </message>
    <message>
        <source>shift M1</source>
        <translation>сдвиг M1</translation>
    </message>
    <message>
        <source>shift M2</source>
        <translation>сдвиг M2</translation>
    </message>
    <message>
        <source>shift M3</source>
        <translation>сдвиг M3</translation>
    </message>
    <message>
        <source>site grid</source>
        <translation>смену сетки масштабов</translation>
    </message>
    <message>
        <source>scale</source>
        <translation>смену масштаба</translation>
    </message>
    <message>
        <source>zoom</source>
        <translation>растяжку</translation>
    </message>
    <message>
        <source>V/2-PR</source>
        <translation>переключение V/2–КУ</translation>
    </message>
    <message>
        <source>move C1</source>
        <translation>перемещение C1</translation>
    </message>
    <message>
        <source>move C2</source>
        <translation>перемещение C2</translation>
    </message>
    <message>
        <source>velocity factor</source>
        <translation>смену коэффициента укорочения</translation>
    </message>
    <message>
        <source>C1 and C2 are at the same point</source>
        <translation>C1 и C2 стоят в одной точке</translation>
    </message>
    <message>
        <source>The length must be a positive number of metres</source>
        <translation>Длина должна быть положительным числом метров</translation>
    </message>
    <message>
        <source>%1: outside %2, check the cursors and the length</source>
        <translation>%1: вне диапазона %2, проверьте курсоры и длину</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Разрешение</translation>
    </message>
    <message>
        <source>Zero point</source>
        <translation>Нулевая точка</translation>
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
        <translation>Интернет: </translation>
    </message>
    <message>
        <source>m</source>
        <translation>м</translation>
    </message>
</context>
<context>
    <name>ReportPage</name>
    <message>
        <source>%1 more events do not fit on the page</source>
        <translation>Не поместились на странице ещё событий: %1</translation>
    </message>
</context>
</TS>
