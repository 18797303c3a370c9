<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>convert</name>
    <message>
        <source>--%1 задаётся только вместе с --play</source>
        <translation>--%1 goes with --play</translation>
    </message>
    <message>
        <source>--to, --as, --ilda-format и --frame задаются только вместе с --convert, как и --spacing и параметры SVG и трассировки</source>
        <translation>--to, --as, --ilda-format and --frame go with --convert, as do --spacing and the SVG and tracing options</translation>
    </message>
    <message>
        <source>--%1 задаётся только вместе с --text</source>
        <translation>--%1 goes with --text</translation>
    </message>
    <message>
        <source>редактор открывает только один файл за раз</source>
        <translation>the editor opens one file at a time</translation>
    </message>
    <message>
        <source>нет дисплея, на котором открыть редактор; --convert и --play работают без него</source>
        <translation>no display to open the editor on; --convert and --play run without one</translation>
    </message>
    <message>
        <source>нет дисплея, на котором открыть редактор; преобразовать %1 без него: quorinimage --convert %1 OUT</source>
        <translation>no display to open the editor on; to convert %1 without one: quorinimage --convert %1 OUT</translation>
    </message>
    <message>
        <source>--text записывает один файл OUT: --convert --text TEXT OUT</source>
        <translation>--text writes one OUT file: --convert --text TEXT OUT</translation>
    </message>
    <message>
        <source>не удаётся записать «%1»: имя выходного файла должно оканчиваться на %2</source>
        <translation>cannot write &apos;%1&apos;: the output must end in %2</translation>
    </message>
    <message>
        <source>--font: нет шрифта «%1» (нужен шрифт Hershey, например futural или cyrillic, или шрифт системы)</source>
        <translation>--font: no font &apos;%1&apos; (a Hershey font such as futural or cyrillic, or a system font)</translation>
    </message>
    <message>
        <source>--height принимает от %1 до %2 пикс., а не «%3»</source>
        <translation>--height takes %1 to %2 pixels, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>--as принимает %1, а не «%2»</source>
        <translation>--as takes %1, not &apos;%2&apos;</translation>
    </message>
    <message>
        <source>--convert нужен хотя бы один входной файл</source>
        <translation>--convert needs at least one input file</translation>
    </message>
    <message>
        <source>Не удаётся создать папку</source>
        <translation>Cannot create folder</translation>
    </message>
    <message>
        <source>Преобразовано файлов: %1 из %2, в %3.</source>
        <translation>Converted %1 of %2 files into %3.</translation>
    </message>
    <message>
        <source>--as задаётся вместе с --to DIR</source>
        <translation>--as goes with --to DIR</translation>
    </message>
    <message>
        <source>--convert нужны IN и OUT или несколько входных файлов с --to DIR --as FORMAT</source>
        <translation>--convert needs IN and OUT, or several inputs with --to DIR --as FORMAT</translation>
    </message>
    <message>
        <source>не удаётся прочитать «%1»: картинка становится контуром только с --trace</source>
        <translation>cannot read &apos;%1&apos;: a picture becomes a contour only with --trace</translation>
    </message>
    <message>
        <source>IN и OUT — один и тот же файл</source>
        <translation>IN and OUT are the same file</translation>
    </message>
    <message>
        <source>кадр %1: </source>
        <translation>frame %1: </translation>
    </message>
    <message>
        <source>Это исходный файл: он не перезаписывается.</source>
        <translation>This is the source file: it is not overwritten.</translation>
    </message>
    <message>
        <source>Этот файл уже записан из другого исходного файла.</source>
        <translation>This file has already been written from another source file.</translation>
    </message>
    <message>
        <source>--play и --convert не задаются вместе</source>
        <translation>--play and --convert are one at a time</translation>
    </message>
    <message>
        <source>--play нужен --to idn:HOST[:PORT] или etherdream:HOST[:PORT], а не «%1»</source>
        <translation>--play needs --to idn:HOST[:PORT] or etherdream:HOST[:PORT], not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--pps принимает от %1 до %2, а не «%3»</source>
        <translation>--pps takes %1 to %2, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>--fps принимает от %1 до %2, а не «%3»</source>
        <translation>--fps takes %1 to %2, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>--seconds принимает время больше 0, а не «%1»</source>
        <translation>--seconds takes a time above 0, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--zone принимает SIZE[,X,Y] в процентах (от 1 до 100, от -100 до 100), а не «%1»</source>
        <translation>--zone takes SIZE[,X,Y] in percent (1 to 100, -100 to 100), not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>прочитаны только первые %1 МБ файла; показываются их кадры (%2)</source>
        <translation>only the first %1 MB of the file are read; their %2 frames are played</translation>
    </message>
    <message>
        <source>файл обрывается внутри кадра; показываются целые кадры до него (%1)</source>
        <translation>the file ends early, inside a frame; the %1 whole frames before it are played</translation>
    </message>
    <message>
        <source>файл повреждён после кадра %1; показываются кадры до него</source>
        <translation>the file is damaged after frame %1; the frames before it are played</translation>
    </message>
    <message>
        <source>Нет кадров ILDA для показа</source>
        <translation>No ILDA frame to play</translation>
    </message>
    <message>
        <source>не удаётся следить за Ctrl+C</source>
        <translation>cannot watch for Ctrl+C</translation>
    </message>
    <message>
        <source>остановлено, луч погашен</source>
        <translation>stopped, the beam blanked</translation>
    </message>
    <message>
        <source>Подробности выводит «quorinimage --help».</source>
        <translation>Try &apos;quorinimage --help&apos; for more information.</translation>
    </message>
    <message>
        <source>%1 или %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>--%1 задаётся вместе с --trace</source>
        <translation>--%1 goes with --trace</translation>
    </message>
    <message>
        <source>--trace принимает outline, edges или centre, а не «%1»</source>
        <translation>--trace takes outline, edges or centre, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--threshold принимает от 0 до 255, а не «%1»</source>
        <translation>--threshold takes 0 to 255, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--%1 принимает от 0 до %2 пикс., а не «%3»</source>
        <translation>--%1 takes 0 to %2 pixels, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>--ilda-format принимает 1 или 5, а не «%1»</source>
        <translation>--ilda-format takes 1 or 5, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--frame принимает номер кадра от 1, а не «%1»</source>
        <translation>--frame takes a frame number from 1, not &apos;%1&apos;</translation>
    </message>
    <message>
        <source>--spacing принимает от %1 до %2 пикс., а не «%3»</source>
        <translation>--spacing takes %1 to %2 pixels, not &apos;%3&apos;</translation>
    </message>
    <message>
        <source>Преобразовать файлы, не открывая окна.</source>
        <translation>Convert files without opening a window.</translation>
    </message>
    <message>
        <source>Папка для файлов пакетного преобразования.</source>
        <translation>Folder for the files of a batch conversion.</translation>
    </message>
    <message>
        <source>Формат пакетного преобразования: ilz, plz, ild или svg.</source>
        <translation>Format of a batch conversion: ilz, plz, ild or svg.</translation>
    </message>
    <message>
        <source>Записываемые точки ILDA: 5 — полноцветные (по умолчанию), 1 — с индексами цветов для старых проигрывателей.</source>
        <translation>ILDA points written: 5 true colour (default), 1 indexed colours for older players.</translation>
    </message>
    <message>
        <source>Читаемый кадр входного файла ILDA, считая с 1 (по умолчанию 1).</source>
        <translation>Frame of an ILDA input to read, counted from 1 (default 1).</translation>
    </message>
    <message>
        <source>Шаг точек входного файла SVG или трассируемой картинки, от 1 до 30 пикс. (по умолчанию шаг пера, %1).</source>
        <translation>Spacing of the points of an SVG or traced input, 1 to 30 pixels (default the pen&apos;s, %1).</translation>
    </message>
    <message>
        <source>Из входного файла SVG также линии, скрытые под фигурами, нарисованными после них (как со снятым флажком окна «Только видимые линии»).</source>
        <translation>Of an SVG input, also the lines hidden under shapes painted after them (the window&apos;s &quot;Visible lines only&quot; off).</translation>
    </message>
    <message>
        <source>Во входном файле SVG поверхность заполняет страница, а не рисунок (как флажок окна «Вся страница»).</source>
        <translation>Of an SVG input, the page fills the surface, not the drawing (the window&apos;s &quot;Whole page&quot;).</translation>
    </message>
    <message>
        <source>Трассировать входную картинку: outline (по умолчанию), edges или centre.</source>
        <translation>Trace a picture input: outline (default), edges or centre.</translation>
    </message>
    <message>
        <source>Порог яркости трассировки, от 0 до 255 (по умолчанию находится по картинке).</source>
        <translation>Brightness threshold of the trace, 0 to 255 (default: found from the picture).</translation>
    </message>
    <message>
        <source>Трассировать области светлее порога.</source>
        <translation>Trace the regions lighter than the threshold.</translation>
    </message>
    <message>
        <source>Более короткие трассированные линии отбрасываются, пикс. картинки (по умолчанию 8).</source>
        <translation>Shorter traced lines are left out, pixels of the picture (default 8).</translation>
    </message>
    <message>
        <source>Насколько упрощённая линия может отходить от трассированной, пикс. поверхности (по умолчанию 0.5).</source>
        <translation>How far a simplified traced line may leave the traced one, surface pixels (default 0.5).</translation>
    </message>
    <message>
        <source>Размытие перед трассировкой, пикс. (по умолчанию 0).</source>
        <translation>Blur before tracing, pixels (default 0).</translation>
    </message>
    <message>
        <source>Записать этот текст лазерными линиями в OUT по центру; \n начинает новую строку.</source>
        <translation>Write this text as laser lines to OUT, centred; \n starts a line.</translation>
    </message>
    <message>
        <source>Шрифт --text: шрифт Hershey (futural, cyrillic, ...) или шрифт системы (по умолчанию %1).</source>
        <translation>Font of --text: a Hershey font (futural, cyrillic, ...) or a system font (default %1).</translation>
    </message>
    <message>
        <source>Высота прописных букв --text, от %1 до %2 пикс. (по умолчанию %3); текст должен помещаться на поверхности.</source>
        <translation>Height of the capitals of --text, %1 to %2 pixels (default %3); the text must lie on the surface.</translation>
    </message>
    <message>
        <source>Точек в секунду для --play, от %1 до %2 (по умолчанию %3).</source>
        <translation>Points per second of --play, %1 to %2 (default %3).</translation>
    </message>
    <message>
        <source>Остановить --play через столько секунд (по умолчанию — по Ctrl+C).</source>
        <translation>Stop --play after this many seconds (default: at Ctrl+C).</translation>
    </message>
    <message>
        <source>Зона вывода --play: её размер в процентах и смещения её центра в процентах (по умолчанию 100,0,0).</source>
        <translation>Output zone of --play: its size in percent, and its centre&apos;s offsets in percent (default 100,0,0).</translation>
    </message>
    <message>
        <source>Кадров в секунду для --play, от %1 до %2 (по умолчанию %3): каждый кадр рисуется снова, пока не выйдет его время.</source>
        <translation>Frames per second of --play, %1 to %2 (default %3): each frame is drawn again until its time is up.</translation>
    </message>
    <message>
        <source>Рисовать кадры --play так, как редактор рисует свои, с задержками в углах и тёмными переходами, а не точка в точку как в файле.</source>
        <translation>Draw the frames of --play as the editor draws its own, with corner dwells and dark jumps added, instead of point for point as in the file.</translation>
    </message>
    <message>
        <source>Открываемый файл; с --convert — преобразуемые файлы.</source>
        <translation>The file to open; with --convert, the files to convert.</translation>
    </message>
    <message>
        <source>--show пишет один файл: --convert IN... --show OUT; --to и --as без него</source>
        <translation>--show writes one file: --convert IN... --show OUT; --to and --as go without it</translation>
    </message>
    <message>
        <source>--show нужен хотя бы один входной файл</source>
        <translation>--show needs at least one input file</translation>
    </message>
    <message>
        <source>не удаётся записать «%1»: показ пишется в файл %2</source>
        <translation>cannot write &apos;%1&apos;: a show is written to %2</translation>
    </message>
    <message>
        <source>IN и OUT — один и тот же файл: %1</source>
        <translation>IN and OUT are the same file: %1</translation>
    </message>
    <message>
        <source>Показ не записан: не все входные файлы прочитаны.</source>
        <translation>The show is not written: not every input file was read.</translation>
    </message>
    <message>
        <source>Собрать входные файлы по порядку в один показ ILDA, по кадру на каждый (из входного файла ILDA — все его кадры).</source>
        <translation>Gather the inputs into one ILDA show, a frame for each (every frame of an ILDA input) in order.</translation>
    </message>
    <message>
        <source>Передать показ ILDA на лазер: --to idn:HOST[:PORT] или etherdream:HOST[:PORT].</source>
        <translation>Stream an ILDA show to a laser: --to idn:HOST[:PORT] or etherdream:HOST[:PORT].</translation>
    </message>
    <message>
        <source>некоторые кадры рисуются дольше 1/%1 с при %2 точек/с; показ идёт с частотой %3 кадров/с</source>
        <translation>some frames take longer than 1/%1 s to draw at %2 points/s; the show plays at %3 frames/s</translation>
    </message>
    <message>
        <source>--play принимает один показ, указанный после него</source>
        <translation>--play takes one show, given to it</translation>
    </message>
    <message>
        <source>Quorinimage — редактор контуров для лазерных шоу.

С файлом FILE редактор открывает его при запуске: файл контура (.ilz)
открывается, старый файл (.plz), файл ILDA (.ild) или рисунок SVG (.svg)
импортируется, картинка (.bmp, .ico, .wmf, .emf, .jpg, .png, .gif, .webp, .tif)
становится подложкой.

Преобразование, без окна и без дисплея:
  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N] [--spacing N]
      [--all-lines] [--whole-page]
  quorinimage --convert PICTURE OUT --trace [outline|edges|centre]
      [--threshold N] [--invert] [--min-length N] [--tolerance X]
  quorinimage --convert --text TEXT OUT [--font NAME] [--height N] [--spacing N]
  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg
  quorinimage --convert IN... --show OUT.ild [параметры выше]
Виды файлов выбираются по расширению (файл без него — по первым байтам):
IN — любой, который открывает редактор, OUT — .ilz, .plz, .ild или .svg.
Входной файл никогда не перезаписывается.
Показ ILDA записывается в .ild целиком; в вид с одним кадром — кадр --frame (по
умолчанию первый), а с --to DIR — каждый кадр в свой файл (SHOW_001.ilz, ...).
--show собирает входные файлы в один показ, по кадру на каждый по порядку,
каждый преобразован как выше: все кадры входного файла ILDA (только кадр
--frame, если он задан) и трассированного анимированного GIF.
Код завершения: 0 — готово, 1 — файл не удалось прочитать или записать (или
рисунку SVG или трассируемой картинке нужен больший --spacing, он называется),
2 — ошибка в параметрах.

Вывод на лазер, без окна: все кадры показа ILDA по очереди, --fps в секунду (по
умолчанию 25), каждый рисуется точка в точку как в файле (--optimise:
с задержками в углах и тёмными переходами) и повторяется, пока длится его
время, по кругу, пока не пройдут --seconds или не нажато Ctrl+C, которые гасят
луч перед концом:
  quorinimage --play SHOW.ild --to idn:HOST[:PORT]|etherdream:HOST[:PORT]
      [--pps N] [--fps N] [--optimise] [--seconds S] [--zone SIZE[,X,Y]]
Код завершения — как у --convert.</source>
        <translation>Quorinimage, the laser-show contour editor.

With FILE the editor opens it at start: a contour file (.ilz) is opened, a legacy
file (.plz), an ILDA file (.ild) or an SVG drawing (.svg) imported, a picture
(.bmp, .ico, .wmf, .emf, .jpg, .png, .gif, .webp, .tif) becomes the underlay.

Conversion, without a window or a display:
  quorinimage --convert IN OUT [--ilda-format 1|5] [--frame N] [--spacing N]
      [--all-lines] [--whole-page]
  quorinimage --convert PICTURE OUT --trace [outline|edges|centre]
      [--threshold N] [--invert] [--min-length N] [--tolerance X]
  quorinimage --convert --text TEXT OUT [--font NAME] [--height N] [--spacing N]
  quorinimage --convert IN... --to DIR --as ilz|plz|ild|svg
  quorinimage --convert IN... --show OUT.ild [the options above]
The kinds are chosen by the extension (a file of none by its first bytes): IN any
the editor opens, OUT .ilz, .plz, .ild or .svg. An input is never overwritten.
An ILDA show goes whole to .ild; to a kind of one frame, the --frame one (the first
by default), or with --to DIR each frame to a file of its own (SHOW_001.ilz, ...).
--show gathers the inputs into one show, a frame for each in order, each converted
as above: every frame of an ILDA input (the --frame one alone when given) and of an
animated GIF traced.
Exit status: 0 done, 1 a file could not be read or written (or an SVG or traced
picture needs a wider --spacing, which is named), 2 a usage error.

Live output, without a window: every frame of an ILDA show in turn, --fps a
second (default 25), each drawn point for point as in the file (--optimise:
with corner dwells and dark jumps) and again while its time lasts, looping,
until --seconds are up or Ctrl+C, which blank the beam before the end:
  quorinimage --play SHOW.ild --to idn:HOST[:PORT]|etherdream:HOST[:PORT]
      [--pps N] [--fps N] [--optimise] [--seconds S] [--zone SIZE[,X,Y]]
Exit status as for --convert.</translation>
    </message>
</context>
<context>
    <name>editor::Editor</name>
    <message>
        <source>Select Dots</source>
        <translation>Select Dots</translation>
    </message>
    <message>
        <source>???</source>
        <translation>???</translation>
    </message>
    <message>
        <source>Leng: %1</source>
        <translation>Leng: %1</translation>
    </message>
    <message>
        <source>b: %1</source>
        <translation>b: %1</translation>
    </message>
</context>
<context>
    <name>editor::tools</name>
    <message>
        <source>Dot:%1</source>
        <translation>Dot:%1</translation>
    </message>
</context>
<context>
    <name>formats</name>
    <message>
        <source>Файл имеет другой формат!</source>
        <translation>The file has a different format!</translation>
    </message>
    <message>
        <source>В файле %1 кадров. Выберите кадр для импорта.</source>
        <translation>The file has %1 frames. Choose a frame to import.</translation>
    </message>
    <message>
        <source>
Показаны кадры из первых %1 МБ файла.</source>
        <translation>
Shown are the frames from the first %1 MB of the file.</translation>
    </message>
    <message>
        <source>
Файл повреждён после кадра %1: дальше кадров нет.</source>
        <translation>
The file is damaged after frame %1: there are no frames beyond it.</translation>
    </message>
    <message>
        <source>Прочитаны кадры из первых %1 МБ файла.</source>
        <translation>Frames were read from the first %1 MB of the file.</translation>
    </message>
    <message>
        <source>Файл обрывается внутри кадра %1: целых кадров в нём %2.</source>
        <translation>The file breaks off inside frame %1: it holds %2 whole frames.</translation>
    </message>
    <message>
        <source>Файл повреждён после кадра %1: дальше кадров нет.</source>
        <translation>The file is damaged after frame %1: there are no frames beyond it.</translation>
    </message>
    <message>
        <source>«%1», %2 точек</source>
        <translation>&apos;%1&apos;, %2 points</translation>
    </message>
    <message>
        <source>%1 точек лежат за пределами поля ILDA и записаны на его краю.</source>
        <translation>%1 points lie outside the ILDA field and were written at its edge.</translation>
    </message>
    <message>
        <source>Кадр из %1 точек при %2 точек/с показывается %3 раз в секунду: возможно мерцание (меньше 20 кадров/с).</source>
        <translation>A frame of %1 points at %2 points/s is shown %3 times a second: it may flicker (under 20 fps).</translation>
    </message>
    <message>
        <source>Контур пуст: экспортировать нечего.</source>
        <translation>The contour is empty: there is nothing to export.</translation>
    </message>
    <message>
        <source>В показе %1 кадров, а файл ILDA вмещает не более %2.</source>
        <translation>The show has %1 frames, and an ILDA file holds no more than %2.</translation>
    </message>
    <message>
        <source>Кадров из более чем %1 точек: %2; при %3 точек/с они показываются реже 20 раз в секунду: возможно мерцание.</source>
        <translation>Frames of more than %1 points: %2; at %3 points/s they are shown fewer than 20 times a second: they may flicker.</translation>
    </message>
    <message>
        <source>Пустых кадров: %1; каждый записан одной погашенной точкой в центре.</source>
        <translation>Empty frames: %1; each was written as one blanked point in the centre.</translation>
    </message>
    <message>
        <source>Файл %1 больше %2 МБ: кадр в нём не заменяется.</source>
        <translation>The file %1 is larger than %2 MB: its frame is not replaced.</translation>
    </message>
    <message>
        <source>В файле %1 нет кадра %2: файл не изменён.</source>
        <translation>The file %1 has no frame %2: the file is unchanged.</translation>
    </message>
    <message>
        <source>При шаге пера %1 пикс. рисунку нужно больше %2 точек.
Импортировать с шагом %3 пикс., наименьшим, при котором он помещается?</source>
        <translation>At a pen spacing of %1 px the drawing needs more than %2 points.
Import it at a spacing of %3 px, the smallest at which it fits?</translation>
    </message>
    <message>
        <source>При шаге %1 пикс. рисунку нужно больше %2 точек; наименьший шаг, при котором он помещается: %3 (--spacing %3).</source>
        <translation>At a spacing of %1 px the drawing needs more than %2 points; the smallest spacing at which it fits: %3 (--spacing %3).</translation>
    </message>
    <message>
        <source>Это не файл ILDA.</source>
        <translation>This is not an ILDA file.</translation>
    </message>
    <message>
        <source>Формат записей ILDA в этом файле не поддерживается.</source>
        <translation>The ILDA record format in this file is not supported.</translation>
    </message>
    <message>
        <source>Файл ILDA повреждён: записи обрываются раньше конца.</source>
        <translation>The ILDA file is damaged: its records break off before the end.</translation>
    </message>
    <message>
        <source>В файле ILDA нет кадра с точками.</source>
        <translation>The ILDA file has no frame with points.</translation>
    </message>
    <message>
        <source>Кадр %1 содержит %2 точек, а контур вмещает не более %3.
Проредить кадр до %4 точек, сохранив его форму?</source>
        <translation>Frame %1 has %2 points, and the contour holds at most %3.
Thin the frame to %4 points, keeping its shape?</translation>
    </message>
    <message>
        <source>Кадр %1 содержит %2 точек, а контур вмещает не более %3: кадр прорежен до %4 точек, его форма сохранена.</source>
        <translation>Frame %1 has %2 points, and the contour holds at most %3: the frame was thinned to %4 points, its shape kept.</translation>
    </message>
    <message>
        <source>Кадр %1/%2</source>
        <translation>Frame %1/%2</translation>
    </message>
    <message>
        <source>Кадров больше %1 точек: %2. Контур вмещает не более %1 точек: эти кадры прорежены, их форма сохранена.</source>
        <translation>Frames over %1 points: %2. The contour holds at most %1 points: these frames were thinned, their shape kept.</translation>
    </message>
    <message>
        <source>В файле %1 кадров, а показ вмещает не более %2: взяты первые %2.</source>
        <translation>The file has %1 frames, and the show holds at most %2: the first %2 were taken.</translation>
    </message>
    <message>
        <source>Не удаётся прочитать файл: %1</source>
        <translation>Cannot read the file: %1</translation>
    </message>
    <message>
        <source>Не удаётся импортировать файл %1: %2.</source>
        <translation>Cannot import the file %1: %2.</translation>
    </message>
    <message>
        <source>Надписей не вошло: %1 (Qt не дал их очертаний).</source>
        <translation>Texts left out: %1 (Qt gave no outlines for them).</translation>
    </message>
    <message>
        <source>В рисунке %1 нет ни одной линии.</source>
        <translation>The drawing %1 has no lines.</translation>
    </message>
    <message>
        <source>В рисунке %1 линий, а контур вмещает не более %2 точек.</source>
        <translation>The drawing has %1 lines, and the contour holds at most %2 points.</translation>
    </message>
    <message>
        <source>Рисунок не помещается в контур из %1 точек даже при шаге 30 пикселей.</source>
        <translation>The drawing does not fit in a contour of %1 points even at a spacing of 30 pixels.</translation>
    </message>
    <message>
        <source>Линий %1</source>
        <translation>Lines %1</translation>
    </message>
    <message>
        <source>Скачки %1 пикс.</source>
        <translation>Jumps %1 px</translation>
    </message>
    <message>
        <source>Ничего не найдено: измените порог или режим.</source>
        <translation>Nothing found: change the threshold or the mode.</translation>
    </message>
    <message>
        <source>Нужно %1 точек, а контур вмещает не более %2.</source>
        <translation>%1 points are needed, and the contour holds at most %2.</translation>
    </message>
    <message>
        <source>Не помещается даже при шаге 30: увеличьте мин. длину или допуск.</source>
        <translation>Does not fit even at spacing 30: raise the min. length or the tolerance.</translation>
    </message>
    <message>
        <source>Кадров, в которых ничего не найдено: %1; они пусты.</source>
        <translation>Frames in which nothing was found: %1; they are empty.</translation>
    </message>
    <message>
        <source>Картинка становится контуром только трассировкой (--trace).</source>
        <translation>A picture becomes a contour only by tracing (--trace).</translation>
    </message>
    <message>
        <source>все файлы</source>
        <translation>all files</translation>
    </message>
</context>
<context>
    <name>formats::TextFonts</name>
    <message>
        <source>Кириллица</source>
        <translation>Cyrillic</translation>
    </message>
    <message>
        <source>Кириллица без Ъ, Ы, Ь, Э, Ю, Я</source>
        <translation>Cyrillic without Ъ, Ы, Ь, Э, Ю, Я</translation>
    </message>
    <message>
        <source>Рубленый простой</source>
        <translation>Roman simplex</translation>
    </message>
    <message>
        <source>Рубленый двойной</source>
        <translation>Roman duplex</translation>
    </message>
    <message>
        <source>Футура светлая</source>
        <translation>Futura light</translation>
    </message>
    <message>
        <source>Футура средняя</source>
        <translation>Futura medium</translation>
    </message>
    <message>
        <source>Таймс</source>
        <translation>Times</translation>
    </message>
    <message>
        <source>Таймс полужирный</source>
        <translation>Times bold</translation>
    </message>
    <message>
        <source>Таймс курсив</source>
        <translation>Times italic</translation>
    </message>
    <message>
        <source>Таймс полужирный курсив</source>
        <translation>Times bold italic</translation>
    </message>
    <message>
        <source>Антиква тройная</source>
        <translation>Roman triplex</translation>
    </message>
    <message>
        <source>Рукописный простой</source>
        <translation>Script simplex</translation>
    </message>
    <message>
        <source>Рукописный двойной</source>
        <translation>Script complex</translation>
    </message>
    <message>
        <source>Рукописный с прямыми цифрами</source>
        <translation>Script with upright figures</translation>
    </message>
    <message>
        <source>Готический английский</source>
        <translation>Gothic English</translation>
    </message>
    <message>
        <source>Готический английский тройной</source>
        <translation>Gothic English triplex</translation>
    </message>
    <message>
        <source>Готический немецкий</source>
        <translation>Gothic German</translation>
    </message>
    <message>
        <source>Готический немецкий тройной</source>
        <translation>Gothic German triplex</translation>
    </message>
    <message>
        <source>Готический итальянский</source>
        <translation>Gothic Italian</translation>
    </message>
    <message>
        <source>Готический итальянский тройной</source>
        <translation>Gothic Italian triplex</translation>
    </message>
    <message>
        <source>Греческий простой</source>
        <translation>Greek simplex</translation>
    </message>
    <message>
        <source>Греческий</source>
        <translation>Greek</translation>
    </message>
    <message>
        <source>Греческий с засечками</source>
        <translation>Greek with serifs</translation>
    </message>
    <message>
        <source>Таймс греческий</source>
        <translation>Times Greek</translation>
    </message>
    <message>
        <source>Японская кана</source>
        <translation>Japanese kana</translation>
    </message>
    <message>
        <source>Символы</source>
        <translation>Symbols</translation>
    </message>
    <message>
        <source>Маркеры</source>
        <translation>Markers</translation>
    </message>
    <message>
        <source>Математические знаки, строчные</source>
        <translation>Mathematical signs, lower case</translation>
    </message>
    <message>
        <source>Математические знаки, прописные</source>
        <translation>Mathematical signs, upper case</translation>
    </message>
    <message>
        <source>Астрологические знаки</source>
        <translation>Astrological signs</translation>
    </message>
    <message>
        <source>Метеорологические знаки</source>
        <translation>Meteorological signs</translation>
    </message>
    <message>
        <source>Нотные знаки</source>
        <translation>Musical signs</translation>
    </message>
</context>
<context>
    <name>formats::text</name>
    <message>
        <source>Текст выходит за край поверхности даже при высоте %1 пикс.</source>
        <translation>The text runs off the surface even at a height of %1 px.</translation>
    </message>
    <message>
        <source>При высоте %1 пикс. текст выходит за край поверхности; наибольшая высота, при которой он помещается: %2</source>
        <translation>At a height of %1 px the text runs off the surface; the greatest height at which it fits: %2</translation>
    </message>
    <message>
        <source>В шрифте нет букв: %1.</source>
        <translation>The font has no letters: %1.</translation>
    </message>
    <message>
        <source>Нечего рисовать: введите текст.</source>
        <translation>Nothing to draw: type a text.</translation>
    </message>
    <message>
        <source>Нужно %1 точек, а контур вмещает не более %2.</source>
        <translation>%1 points are needed, and the contour holds at most %2.</translation>
    </message>
    <message>
        <source>Не помещается даже при шаге 30: уменьшите текст.</source>
        <translation>Does not fit even at spacing 30: make the text smaller.</translation>
    </message>
    <message>
        <source>Шрифт «%1» не читается.</source>
        <translation>The font &apos;%1&apos; cannot be read.</translation>
    </message>
    <message>
        <source>%1 пикс.</source>
        <translation>%1 px</translation>
    </message>
</context>
<context>
    <name>forms::ColorBox</name>
    <message>
        <source>Black</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Maroon</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Olive</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>Navy</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Teal</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Gray</translation>
    </message>
    <message>
        <source>Silver</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Lime</source>
        <translation>Lime</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Fuchsia</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Aqua</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>White</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Money Green</source>
        <translation>Money Green</translation>
    </message>
    <message>
        <source>Sky Blue</source>
        <translation>Sky Blue</translation>
    </message>
    <message>
        <source>Cream</source>
        <translation>Cream</translation>
    </message>
    <message>
        <source>Medium Gray</source>
        <translation>Medium Gray</translation>
    </message>
    <message>
        <source>Scroll Bar</source>
        <translation>Scroll Bar</translation>
    </message>
    <message>
        <source>Background</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>Active Caption</source>
        <translation>Active Caption</translation>
    </message>
    <message>
        <source>Inactive Caption</source>
        <translation>Inactive Caption</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Window</translation>
    </message>
    <message>
        <source>Window Frame</source>
        <translation>Window Frame</translation>
    </message>
    <message>
        <source>Menu Text</source>
        <translation>Menu Text</translation>
    </message>
    <message>
        <source>Window Text</source>
        <translation>Window Text</translation>
    </message>
    <message>
        <source>Caption Text</source>
        <translation>Caption Text</translation>
    </message>
    <message>
        <source>Active Border</source>
        <translation>Active Border</translation>
    </message>
    <message>
        <source>Inactive Border</source>
        <translation>Inactive Border</translation>
    </message>
    <message>
        <source>App Workspace</source>
        <translation>App Workspace</translation>
    </message>
    <message>
        <source>Highlight</source>
        <translation>Highlight</translation>
    </message>
    <message>
        <source>Highlight Text</source>
        <translation>Highlight Text</translation>
    </message>
    <message>
        <source>Button Face</source>
        <translation>Button Face</translation>
    </message>
    <message>
        <source>Button Shadow</source>
        <translation>Button Shadow</translation>
    </message>
    <message>
        <source>Gray Text</source>
        <translation>Gray Text</translation>
    </message>
    <message>
        <source>Button Text</source>
        <translation>Button Text</translation>
    </message>
    <message>
        <source>Inactive Caption Text</source>
        <translation>Inactive Caption Text</translation>
    </message>
    <message>
        <source>Button Highlight</source>
        <translation>Button Highlight</translation>
    </message>
    <message>
        <source>3D Dark Shadow</source>
        <translation>3D Dark Shadow</translation>
    </message>
    <message>
        <source>3D Light</source>
        <translation>3D Light</translation>
    </message>
    <message>
        <source>Info Text</source>
        <translation>Info Text</translation>
    </message>
    <message>
        <source>Info Background</source>
        <translation>Info Background</translation>
    </message>
    <message>
        <source>System Color 25</source>
        <translation>System Color 25</translation>
    </message>
    <message>
        <source>Hot Light</source>
        <translation>Hot Light</translation>
    </message>
    <message>
        <source>Gradient Active Caption</source>
        <translation>Gradient Active Caption</translation>
    </message>
    <message>
        <source>Gradient Inactive Caption</source>
        <translation>Gradient Inactive Caption</translation>
    </message>
    <message>
        <source>Menu Highlight</source>
        <translation>Menu Highlight</translation>
    </message>
    <message>
        <source>Menu Bar</source>
        <translation>Menu Bar</translation>
    </message>
</context>
<context>
    <name>forms::TAboutForm</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Version 2.2             may 2005 г.</source>
        <translation>Version 2.2             May 2005</translation>
    </message>
    <message>
        <source>Build  1.14.55.</source>
        <translation>Build  1.14.55.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>forms::TOptionForm</name>
    <message>
        <source>OptionForm</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source> Цветa </source>
        <translation> Colours </translation>
    </message>
    <message>
        <source>Линия рисунка</source>
        <translation>Drawing line</translation>
    </message>
    <message>
        <source>Первая Точка</source>
        <translation>First point</translation>
    </message>
    <message>
        <source>Точка рисунка</source>
        <translation>Drawing point</translation>
    </message>
    <message>
        <source>Последняя Точка</source>
        <translation>Last point</translation>
    </message>
    <message>
        <source>Горячие точки</source>
        <translation>Hot points</translation>
    </message>
    <message>
        <source>Цвет фона</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>Линия cоединения</source>
        <translation>Closing line</translation>
    </message>
    <message>
        <source>Линия ceтки</source>
        <translation>Grid line</translation>
    </message>
    <message>
        <source>Размеры точек</source>
        <translation>Point sizes</translation>
    </message>
    <message>
        <source>Размер первой точки</source>
        <translation>First point size</translation>
    </message>
    <message>
        <source>Размер текущих точек</source>
        <translation>Point size</translation>
    </message>
    <message>
        <source>Размер последней точки</source>
        <translation>Last point size</translation>
    </message>
    <message>
        <source>Размер горячих точек</source>
        <translation>Hot point size</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Расстояние между точками</source>
        <translation>Distance between points</translation>
    </message>
    <message>
        <source>Яркость горячей  точки</source>
        <translation>Hot point brightness</translation>
    </message>
    <message>
        <source>Записать текущие установки</source>
        <translation>Save current settings</translation>
    </message>
    <message>
        <source>Отменить последние изменения</source>
        <translation>Undo the last changes</translation>
    </message>
    <message>
        <source>Устанавливает цвет #10#13  точки </source>
        <translation>Sets the point&apos;s colour</translation>
    </message>
    <message>
        <source>Язык</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>как в системе</source>
        <translation>as the system</translation>
    </message>
    <message>
        <source>Язык сменится при следующем запуске</source>
        <translation>The language changes at the next start</translation>
    </message>
</context>
<context>
    <name>forms::TPreviewForm</name>
    <message>
        <source>Показ: %1 кадров/с</source>
        <translation>Show: %1 fps</translation>
    </message>
    <message>
        <source>Показ не успевает: %1 кадров/с</source>
        <translation>Show falls behind: %1 fps</translation>
    </message>
    <message>
        <source>%1 точек/с</source>
        <translation>%1 points/s</translation>
    </message>
    <message>
        <source>Скорость вывода на лазер; она же в окне «Лазер»</source>
        <translation>The rate of output to the laser; the same as in the Laser window</translation>
    </message>
    <message>
        <source>Сканер</source>
        <translation>Scanner</translation>
    </message>
    <message>
        <source>Инерция зеркал: скругление углов и выбросы</source>
        <translation>Mirror inertia: rounded corners and overshoot</translation>
    </message>
    <message>
        <source>Показ</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Играть все кадры с частотой кадров</source>
        <translation>Play all frames at the frame rate</translation>
    </message>
    <message>
        <source>Частота кадров показа; она же в окне «Лазер»</source>
        <translation>The show&apos;s frame rate; the same as in the Laser window</translation>
    </message>
    <message>
        <source>Улучшать кадры из файлов</source>
        <translation>Improve frames from files</translation>
    </message>
    <message>
        <source>Задержки на углах и тёмные прыжки и в кадрах из файлов, а не точка в точку, как их сделал автор</source>
        <translation>Corner dwells and blanked jumps in frames from files too, rather than point for point as their author made them</translation>
    </message>
    <message>
        <source>Скорость сканирования:</source>
        <translation>Scan rate:</translation>
    </message>
    <message>
        <source>Показ, кадров/с:</source>
        <translation>Show, fps:</translation>
    </message>
    <message>
        <source>Точек: %1, в кадре: %2</source>
        <translation>Points: %1, in the frame: %2</translation>
    </message>
    <message>
        <source>Кадров в секунду: %1</source>
        <translation>Frames per second: %1</translation>
    </message>
    <message>
        <source>Время кадра: %1 мс</source>
        <translation>Frame time: %1 ms</translation>
    </message>
    <message>
        <source>Меньше 20 кадров в секунду: видно мерцание</source>
        <translation>Under 20 frames per second: flicker shows</translation>
    </message>
</context>
<context>
    <name>io</name>
    <message>
        <source>Доступ к файлу запрещён: %1 — не обычный файл</source>
        <translation>File access denied: %1 is not a regular file</translation>
    </message>
    <message>
        <source>Не удаётся открыть файл %1: %2</source>
        <translation>Cannot open file %1: %2</translation>
    </message>
    <message>
        <source>Чтение за концом файла</source>
        <translation>Read beyond end of file</translation>
    </message>
    <message>
        <source>Файл слишком велик: %1</source>
        <translation>File too large: %1</translation>
    </message>
    <message>
        <source>Доступ к файлу запрещён: %1 — это папка</source>
        <translation>File access denied: %1 is a directory</translation>
    </message>
    <message>
        <source>Не удаётся создать файл %1: %2</source>
        <translation>Cannot create file %1: %2</translation>
    </message>
    <message>
        <source>Диск заполнен: %1</source>
        <translation>Disk full: %1</translation>
    </message>
    <message>
        <source>нет такого файла или папки</source>
        <translation>No such file or directory</translation>
    </message>
    <message>
        <source>доступ запрещён</source>
        <translation>Permission denied</translation>
    </message>
    <message>
        <source>диск только для чтения</source>
        <translation>Read-only file system</translation>
    </message>
    <message>
        <source>на диске нет места</source>
        <translation>No space left on device</translation>
    </message>
    <message>
        <source>превышена квота на диске</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <source>это папка</source>
        <translation>Is a directory</translation>
    </message>
    <message>
        <source>часть пути — не папка</source>
        <translation>Not a directory</translation>
    </message>
    <message>
        <source>слишком длинное имя файла</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <source>не удаётся создать папку %1</source>
        <translation>cannot create %1</translation>
    </message>
    <message>
        <source>в папку %1 нельзя писать</source>
        <translation>%1 is not writable</translation>
    </message>
    <message>
        <source>не удаётся занять файл %1</source>
        <translation>cannot lock %1</translation>
    </message>
</context>
<context>
    <name>output</name>
    <message>
        <source>Лазер: %1 не отвечает, новая попытка…</source>
        <translation>Laser: %1 does not answer, trying again…</translation>
    </message>
    <message>
        <source>Лазер: вывод на %1</source>
        <translation>Laser: output to %1</translation>
    </message>
    <message>
        <source>Лазер: связь с %1 потеряна, новая попытка…</source>
        <translation>Laser: the link to %1 was lost, trying again…</translation>
    </message>
    <message>
        <source>Лазер: %1 в аварийной остановке</source>
        <translation>Laser: %1 is in an emergency stop</translation>
    </message>
    <message>
        <source>Лазер: %1 не успел получить точки</source>
        <translation>Laser: %1 did not get its points in time</translation>
    </message>
    <message>
        <source>Лазер: вывод на %1 остановлен, луч погашен</source>
        <translation>Laser: output to %1 stopped, beam blanked</translation>
    </message>
    <message>
        <source>Лазер: %1 не принимает пакеты: не отправлено %2 из %3</source>
        <translation>Laser: %1 does not take packets: %2 of %3 not sent</translation>
    </message>
    <message>
        <source>; не отправлено пакетов: %1 из %2</source>
        <translation>; packets not sent: %1 of %2</translation>
    </message>
    <message>
        <source>адрес не найден</source>
        <translation>address not found</translation>
    </message>
    <message>
        <source>соединение отклонено</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>устройство не отвечает</source>
        <translation>the device does not answer</translation>
    </message>
    <message>
        <source>Лазер: %1: %2</source>
        <translation>Laser: %1: %2</translation>
    </message>
    <message>
        <source>не показано ни одной точки</source>
        <translation>no point was played</translation>
    </message>
</context>
<context>
    <name>pictures</name>
    <message>
        <source>Не удаётся создать файл %1</source>
        <translation>Cannot create file %1</translation>
    </message>
    <message>
        <source>Metafiles</source>
        <translation>Metafiles</translation>
    </message>
    <message>
        <source>Enhanced Metafiles</source>
        <translation>Enhanced Metafiles</translation>
    </message>
    <message>
        <source>Icons</source>
        <translation>Icons</translation>
    </message>
    <message>
        <source>Bitmaps</source>
        <translation>Bitmaps</translation>
    </message>
    <message>
        <source>JPEG Image File</source>
        <translation>JPEG Image File</translation>
    </message>
    <message>
        <source>Картинки PNG</source>
        <translation>PNG pictures</translation>
    </message>
    <message>
        <source>Картинки GIF</source>
        <translation>GIF pictures</translation>
    </message>
    <message>
        <source>Картинки WebP</source>
        <translation>WebP pictures</translation>
    </message>
    <message>
        <source>Картинки TIFF</source>
        <translation>TIFF pictures</translation>
    </message>
    <message>
        <source>All (%1)</source>
        <translation>All (%1)</translation>
    </message>
    <message>
        <source>Все картинки (%1)</source>
        <translation>All pictures (%1)</translation>
    </message>
    <message>
        <source>Не удаётся открыть файл %1</source>
        <translation>Cannot open file %1</translation>
    </message>
    <message>
        <source>Картинка %1 не читается: она повреждена или это не %1.</source>
        <translation>The %1 picture cannot be read: it is damaged or is not a %1 picture.</translation>
    </message>
    <message>
        <source>Картинки %1 не читаются: нет модуля Qt для них (qt6-image-formats-plugins).</source>
        <translation>%1 pictures cannot be read: Qt&apos;s module for them is missing (qt6-image-formats-plugins).</translation>
    </message>
    <message>
        <source>Картинка %1 слишком велика: %2 × %3 пикселей.</source>
        <translation>The %1 picture is too large: %2 × %3 pixels.</translation>
    </message>
    <message>
        <source>это не рисунок SVG или он повреждён</source>
        <translation>it is not an SVG drawing, or it is damaged</translation>
    </message>
    <message>
        <source>у рисунка нет размеров</source>
        <translation>the drawing has no size</translation>
    </message>
    <message>
        <source>рисунок слишком сложен: больше %1 точек</source>
        <translation>the drawing is too complex: more than %1 points</translation>
    </message>
    <message>
        <source>рисунок слишком сложен: слишком подробны его обрезки</source>
        <translation>the drawing is too complex: its clip paths are too detailed</translation>
    </message>
    <message>
        <source>Bitmap image is not valid</source>
        <translation>Bitmap image is not valid</translation>
    </message>
    <message>
        <source>Icon image is not valid</source>
        <translation>Icon image is not valid</translation>
    </message>
    <message>
        <source>JPEG error #%1</source>
        <translation>JPEG error #%1</translation>
    </message>
    <message>
        <source>Metafile is not valid</source>
        <translation>Metafile is not valid</translation>
    </message>
    <message>
        <source>Unknown picture file extension (.%1)</source>
        <translation>Unknown picture file extension (.%1)</translation>
    </message>
    <message>
        <source>Unknown picture kind</source>
        <translation>Unknown picture kind</translation>
    </message>
    <message>
        <source>Файл лазерной картинки</source>
        <translation>Laser picture file</translation>
    </message>
</context>
<context>
    <name>quorinimage</name>
    <message>
        <source>quorinimage: %1
Подробнее: quorinimage --help</source>
        <translation>quorinimage: %1
Try &apos;quorinimage --help&apos; for more information.</translation>
    </message>
</context>
<context>
    <name>window</name>
    <message>
        <source>Лазер включён</source>
        <translation>Laser on</translation>
    </message>
    <message>
        <source>Лазер выключен</source>
        <translation>Laser off</translation>
    </message>
</context>
<context>
    <name>window::BeamColour</name>
    <message>
        <source>Цвет луча</source>
        <translation>Beam colour</translation>
    </message>
</context>
<context>
    <name>window::FileCommands</name>
    <message>
        <source>Все лазерные картинки</source>
        <translation>All laser pictures</translation>
    </message>
    <message>
        <source>Цвета и гашение в файле .ilz не сохраняются. Записать?</source>
        <translation>Colours and blanking are not kept in an .ilz file. Save?</translation>
    </message>
    <message>
        <source>В показе %1 кадров, а файл этого вида хранит один. Сохранить только текущий кадр?</source>
        <translation>The show has %1 frames, and a file of this kind holds one. Save only the current frame?</translation>
    </message>
    <message>
        <source>Файл с таким именем существует, переписать?</source>
        <translation>A file with this name exists. Overwrite it?</translation>
    </message>
    <message>
        <source>Записать файл?</source>
        <translation>Save the file?</translation>
    </message>
    <message>
        <source>Он открыт не полностью: переписанный, он потеряет то, чего в редакторе нет.</source>
        <translation>It was not opened whole: written over, it loses what the editor does not hold.</translation>
    </message>
</context>
<context>
    <name>window::FrameCommands</name>
    <message>
        <source>Кадр %1/%2</source>
        <translation>Frame %1/%2</translation>
    </message>
    <message>
        <source>После текущего кадра нет следующего: промежуточные кадры строятся между текущим кадром и следующим.</source>
        <translation>There is no frame after the current one: in-betweens are built between the current frame and the next.</translation>
    </message>
    <message>
        <source>Промежуточные кадры</source>
        <translation>In-betweens</translation>
    </message>
    <message>
        <source>Сколько кадров вставить между кадрами %1 и %2?</source>
        <translation>How many frames to insert between frames %1 and %2?</translation>
    </message>
    <message>
        <source>В показе %1 кадров, а больше %2 он не вмещает.</source>
        <translation>The show has %1 frames and holds no more than %2.</translation>
    </message>
    <message>
        <source>В кадре %1 %2 точек, а в кадре %3 — %4: промежуточные кадры строятся только между кадрами с равным числом точек.</source>
        <translation>Frame %1 has %2 points and frame %3 has %4: in-betweens are built only between frames with the same number of points.</translation>
    </message>
</context>
<context>
    <name>window::FrameFiles</name>
    <message>
        <source>Кадры из файлов</source>
        <translation>Frames from files</translation>
    </message>
    <message>
        <source>Все кадры</source>
        <translation>All frames</translation>
    </message>
    <message>
        <source>Трассировка: %1</source>
        <translation>Tracing: %1</translation>
    </message>
    <message>
        <source>Кадров, которым при этом шаге нужно больше %1 точек: %2; они взяты с наименьшим шагом, при котором помещаются.</source>
        <translation>Frames that need more than %1 points at this spacing: %2; they were taken at the smallest spacing at which they fit.</translation>
    </message>
    <message>
        <source>Показ вмещает не более %1 кадров: взяты первые %2 из %3.</source>
        <translation>A show holds no more than %1 frames: the first %2 of %3 were taken.</translation>
    </message>
</context>
<context>
    <name>window::FrameStrip</name>
    <message>
        <source>Кадры</source>
        <translation>Frames</translation>
    </message>
</context>
<context>
    <name>window::FrameStripModel</name>
    <message>
        <source>Кадр %1, точек: %2</source>
        <translation>Frame %1, points: %2</translation>
    </message>
</context>
<context>
    <name>window::IldaCommands</name>
    <message>
        <source>Кадр ILDA</source>
        <translation>ILDA frame</translation>
    </message>
    <message>
        <source>Контур пуст: экспортировать нечего.</source>
        <translation>The contour is empty: there is nothing to export.</translation>
    </message>
    <message>
        <source>Экспорт ILDA</source>
        <translation>Export ILDA file</translation>
    </message>
    <message>
        <source>ILDA, с индексами цветов для старых проигрывателей (*.ild)</source>
        <translation>ILDA, indexed colours for older players (*.ild)</translation>
    </message>
    <message>
        <source>Импорт ILDA</source>
        <translation>Import ILDA file</translation>
    </message>
</context>
<context>
    <name>window::JoinDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Точек: %1, линий: %2, скачки: %3 пикс.</source>
        <translation>Points: %1, lines: %2, jumps: %3 px</translation>
    </message>
    <message>
        <source>Шаг %1</source>
        <translation>Spacing %1</translation>
    </message>
</context>
<context>
    <name>window::LaserWindow</name>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Найти в сети</source>
        <translation>Find on the network</translation>
    </message>
    <message>
        <source>Разослать запрос IDN и послушать Ether Dream</source>
        <translation>Broadcast an IDN query and listen for Ether Dream</translation>
    </message>
    <message>
        <source>idn:адрес[:порт] или etherdream:адрес</source>
        <translation>idn:address[:port] or etherdream:address</translation>
    </message>
    <message>
        <source>Лазер</source>
        <translation>Laser</translation>
    </message>
    <message>
        <source>Вывод</source>
        <translation>Output</translation>
    </message>
    <message>
        <source> точек/с</source>
        <translation> points/s</translation>
    </message>
    <message>
        <source>по X</source>
        <translation>in X</translation>
    </message>
    <message>
        <source>по Y</source>
        <translation>in Y</translation>
    </message>
    <message>
        <source>Цвет луча для точек без своего цвета</source>
        <translation>Beam colour for points without a colour of their own</translation>
    </message>
    <message>
        <source>Частота кадров показа; она же в просмотре лазера</source>
        <translation>The show&apos;s frame rate; the same as in the laser preview</translation>
    </message>
    <message>
        <source>Улучшать кадры из файлов</source>
        <translation>Improve frames from files</translation>
    </message>
    <message>
        <source>Задержки на углах и тёмные прыжки и в кадрах из файлов, а не точка в точку, как их сделал автор</source>
        <translation>Corner dwells and blanked jumps in frames from files too, rather than point for point as their author made them</translation>
    </message>
    <message>
        <source>Скорость:</source>
        <translation>Rate:</translation>
    </message>
    <message>
        <source>Угол, с которого задержка:</source>
        <translation>Angle that gets a dwell:</translation>
    </message>
    <message>
        <source>Точек на углу:</source>
        <translation>Points at a corner:</translation>
    </message>
    <message>
        <source>Тёмных точек до прыжка:</source>
        <translation>Blank points before a jump:</translation>
    </message>
    <message>
        <source>Тёмных точек после прыжка:</source>
        <translation>Blank points after a jump:</translation>
    </message>
    <message>
        <source>Шаг прыжка:</source>
        <translation>Jump step:</translation>
    </message>
    <message>
        <source>Сдвиг гашения, точек:</source>
        <translation>Blanking shift, points:</translation>
    </message>
    <message>
        <source>Размер зоны:</source>
        <translation>Zone size:</translation>
    </message>
    <message>
        <source>Сдвиг зоны по X:</source>
        <translation>Zone offset in X:</translation>
    </message>
    <message>
        <source>Сдвиг зоны по Y:</source>
        <translation>Zone offset in Y:</translation>
    </message>
    <message>
        <source>Отразить:</source>
        <translation>Flip:</translation>
    </message>
    <message>
        <source>Повернуть:</source>
        <translation>Rotate:</translation>
    </message>
    <message>
        <source>Яркость не больше:</source>
        <translation>Brightness at most:</translation>
    </message>
    <message>
        <source>Цвет по умолчанию:</source>
        <translation>Default colour:</translation>
    </message>
    <message>
        <source>Показ, кадров/с:</source>
        <translation>Show, fps:</translation>
    </message>
    <message>
        <source>Показ</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>Играть все кадры с частотой кадров</source>
        <translation>Play all frames at the frame rate</translation>
    </message>
    <message>
        <source>Цвет по умолчанию</source>
        <translation>Default colour</translation>
    </message>
    <message>
        <source>Устройств не найдено</source>
        <translation>No devices found</translation>
    </message>
    <message>
        <source>Найдено устройств: %1</source>
        <translation>Devices found: %1</translation>
    </message>
    <message>
        <source>Поиск…</source>
        <translation>Searching…</translation>
    </message>
    <message>
        <source>Выберите устройство или введите адрес, например idn:192.168.1.20 или etherdream:192.168.1.21</source>
        <translation>Choose a device or enter an address, such as idn:192.168.1.20 or etherdream:192.168.1.21</translation>
    </message>
    <message>
        <source>Стоп (F12)</source>
        <translation>Stop (F12)</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Погасить луч и остановить вывод (F12 — из любого окна)</source>
        <translation>Blank the beam and stop output (F12 from any window)</translation>
    </message>
    <message>
        <source>Начать вывод на выбранное устройство</source>
        <translation>Start output to the chosen device</translation>
    </message>
    <message>
        <source>Вывод остановлен</source>
        <translation>Output stopped</translation>
    </message>
</context>
<context>
    <name>window::PictureCommands</name>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
</context>
<context>
    <name>window::QtDialogs</name>
    <message>
        <source>Кадр </source>
        <translation>Frame </translation>
    </message>
    <message>
        <source> из %1</source>
        <translation> of %1</translation>
    </message>
    <message>
        <source>По умолчанию</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Цвет линии из настроек</source>
        <translation>The line colour of the settings</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>window::RecoveryKeeper</name>
    <message>
        <source>Файл восстановления повреждён и отложен: %1</source>
        <translation>The recovery file is damaged and has been set aside: %1</translation>
    </message>
    <message>
        <source>без имени</source>
        <translation>untitled</translation>
    </message>
    <message>
        <source>Найден несохранённый контур (%1, %2). Восстановить?</source>
        <translation>An unsaved contour was found (%1, %2). Recover it?</translation>
    </message>
    <message>
        <source>Копия не пишется</source>
        <translation>Backup not written</translation>
    </message>
    <message>
        <source>Копия для восстановления не записывается: %1</source>
        <translation>The recovery copy cannot be written: %1</translation>
    </message>
</context>
<context>
    <name>window::SvgCommands</name>
    <message>
        <source>Импорт SVG</source>
        <translation>Import SVG</translation>
    </message>
    <message>
        <source>Только видимые линии</source>
        <translation>Visible lines only</translation>
    </message>
    <message>
        <source>Вся страница</source>
        <translation>Whole page</translation>
    </message>
</context>
<context>
    <name>window::TBaseForm</name>
    <message>
        <source>[no name]</source>
        <translation>[no name]</translation>
    </message>
    <message>
        <source>Новый рисунок</source>
        <translation>New drawing</translation>
    </message>
    <message>
        <source>Открыть картинку лазера</source>
        <translation>Open a laser picture</translation>
    </message>
    <message>
        <source>Сохранить картинку лазера</source>
        <translation>Save the laser picture</translation>
    </message>
    <message>
        <source>Открыть новую подложку</source>
        <translation>Open a new underlay</translation>
    </message>
    <message>
        <source>Копировать в буфер</source>
        <translation>Copy to the clipboard</translation>
    </message>
    <message>
        <source>Вставить из буфера</source>
        <translation>Paste from the clipboard</translation>
    </message>
    <message>
        <source>Высветить подложку</source>
        <translation>Show the underlay</translation>
    </message>
    <message>
        <source>Показать сетку</source>
        <translation>Show the grid</translation>
    </message>
    <message>
        <source>Перерисовать экран</source>
        <translation>Redraw the screen</translation>
    </message>
    <message>
        <source>Нормализовать и соединить контур</source>
        <translation>Even out and join the contour</translation>
    </message>
    <message>
        <source>Просмотр лазера</source>
        <translation>Laser preview</translation>
    </message>
    <message>
        <source>Трассировка подложки</source>
        <translation>Trace the underlay</translation>
    </message>
    <message>
        <source>Цвет луча</source>
        <translation>Beam colour</translation>
    </message>
    <message>
        <source>Показать точки</source>
        <translation>Show the points</translation>
    </message>
    <message>
        <source>Показать контур линией</source>
        <translation>Show the contour as a line</translation>
    </message>
    <message>
        <source>Направление захвата точки</source>
        <translation>Direction a point is caught from</translation>
    </message>
    <message>
        <source>режим выделения контура</source>
        <translation>contour selection mode</translation>
    </message>
    <message>
        <source>Select Dots</source>
        <translation>Select Dots</translation>
    </message>
    <message>
        <source>перемещение</source>
        <translation>move</translation>
    </message>
    <message>
        <source>Move Object</source>
        <translation>Move Object</translation>
    </message>
    <message>
        <source>изменение размера</source>
        <translation>resize</translation>
    </message>
    <message>
        <source>Вращение</source>
        <translation>Rotation</translation>
    </message>
    <message>
        <source>Установка центра вращения</source>
        <translation>Set the centre of rotation</translation>
    </message>
    <message>
        <source>Установка центра</source>
        <translation>Set Centre</translation>
    </message>
    <message>
        <source>режим рисования</source>
        <translation>drawing mode</translation>
    </message>
    <message>
        <source>Paint Picture</source>
        <translation>Paint Picture</translation>
    </message>
    <message>
        <source>Точное позиционирование точек</source>
        <translation>Exact placing of points</translation>
    </message>
    <message>
        <source>Move Dot</source>
        <translation>Move Dot</translation>
    </message>
    <message>
        <source>создание примитивов</source>
        <translation>making shapes</translation>
    </message>
    <message>
        <source>Mase Figura</source>
        <translation>Make Figure</translation>
    </message>
    <message>
        <source>создание горячих точек</source>
        <translation>making hot points</translation>
    </message>
    <message>
        <source>Made Hot Dot</source>
        <translation>Make Hot Dot</translation>
    </message>
    <message>
        <source>Разрыв в новом месте</source>
        <translation>Break at a new place</translation>
    </message>
    <message>
        <source>new Split</source>
        <translation>New Split</translation>
    </message>
    <message>
        <source>Удаление точек</source>
        <translation>Deleting points</translation>
    </message>
    <message>
        <source>Delete Dot</source>
        <translation>Delete Dot</translation>
    </message>
    <message>
        <source>Текст</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Лазер: вывод по сети (F12 — стоп)</source>
        <translation>Laser: output over the network (F12 stops it)</translation>
    </message>
    <message>
        <source>Гашение луча</source>
        <translation>Beam blanking</translation>
    </message>
    <message>
        <source>Гашение</source>
        <translation>Blanking</translation>
    </message>
    <message>
        <source>Кисть цвета луча</source>
        <translation>Beam colour brush</translation>
    </message>
    <message>
        <source>Кисть цвета</source>
        <translation>Colour Brush</translation>
    </message>
    <message>
        <source>Поворот на 90 гр</source>
        <translation>Turn by 90°</translation>
    </message>
    <message>
        <source>Возврат по прежнему контуру </source>
        <translation>Return along the same contour</translation>
    </message>
    <message>
        <source>Зеркальное отражение</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>Масштаб</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Масштаб меньше</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>М1:1</source>
        <translation>M1:1</translation>
    </message>
    <message>
        <source>leng:0000</source>
        <translation>leng:0000</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Создать Новый файл лазерного контура </source>
        <translation>New laser contour file</translation>
    </message>
    <message>
        <source>Открыть файл лазерного контура </source>
        <translation>Open a laser contour file</translation>
    </message>
    <message>
        <source>Сохранить уже созданный</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Записать как...</source>
        <translation>Save as...</translation>
    </message>
    <message>
        <source>Загрузить подложку Рисунка</source>
        <translation>Load an underlay picture</translation>
    </message>
    <message>
        <source>Записать в Лазерный контур в формате BMP</source>
        <translation>Save the surface as BMP</translation>
    </message>
    <message>
        <source>Import Laser file Version 1.0-1.5</source>
        <translation>Import Laser file Version 1.0-1.5</translation>
    </message>
    <message>
        <source>Export Laser file Version 1.0-1.5</source>
        <translation>Export Laser file Version 1.0-1.5</translation>
    </message>
    <message>
        <source>Export ILDA file (*.ild)</source>
        <translation>Export ILDA file (*.ild)</translation>
    </message>
    <message>
        <source>Import ILDA file (*.ild)</source>
        <translation>Import ILDA file (*.ild)</translation>
    </message>
    <message>
        <source>Импорт SVG (*.svg)</source>
        <translation>Import SVG (*.svg)</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Трассировка подложки…</source>
        <translation>Trace the underlay…</translation>
    </message>
    <message>
        <source>Текст…</source>
        <translation>Text…</translation>
    </message>
    <message>
        <source>Лазер…</source>
        <translation>Laser…</translation>
    </message>
    <message>
        <source>Гасить скачки пера</source>
        <translation>Blank the pen&apos;s jumps</translation>
    </message>
    <message>
        <source>Кадр</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>Новый кадр</source>
        <translation>New frame</translation>
    </message>
    <message>
        <source>Копия кадра</source>
        <translation>Duplicate frame</translation>
    </message>
    <message>
        <source>Удалить кадр</source>
        <translation>Delete frame</translation>
    </message>
    <message>
        <source>Следующий кадр</source>
        <translation>Next frame</translation>
    </message>
    <message>
        <source>Предыдущий кадр</source>
        <translation>Previous frame</translation>
    </message>
    <message>
        <source>Первый кадр</source>
        <translation>First frame</translation>
    </message>
    <message>
        <source>Последний кадр</source>
        <translation>Last frame</translation>
    </message>
    <message>
        <source>Лента кадров</source>
        <translation>Frame strip</translation>
    </message>
    <message>
        <source>Соседние кадры</source>
        <translation>Neighbouring frames</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Помощь</source>
        <translation>Help contents</translation>
    </message>
    <message>
        <source>Откат</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Закрыть меню </source>
        <translation>Close the menu</translation>
    </message>
    <message>
        <source>Промежуточные кадры…</source>
        <translation>In-between frames…</translation>
    </message>
    <message>
        <source>Кадры из файлов…</source>
        <translation>Frames from files…</translation>
    </message>
</context>
<context>
    <name>window::TextDialog</name>
    <message>
        <source>Текст</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Сверху однолинейные шрифты Hershey, ниже контурные</source>
        <translation>Single-stroke Hershey fonts at the top, outline fonts below</translation>
    </message>
    <message>
        <source> высоты</source>
        <translation> × height</translation>
    </message>
    <message>
        <source>По левому краю</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>По центру</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>По правому краю</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>В центре поверхности</source>
        <translation>In the centre of the surface</translation>
    </message>
    <message>
        <source>От точки щелчка</source>
        <translation>From the clicked point</translation>
    </message>
    <message>
        <source>От точки, где последний раз щёлкнули по поверхности</source>
        <translation>From the point where the surface was last clicked</translation>
    </message>
    <message>
        <source>Добавить к контуру</source>
        <translation>Add to the contour</translation>
    </message>
    <message>
        <source>Текст начнётся после конца контура</source>
        <translation>The text starts after the end of the contour</translation>
    </message>
    <message>
        <source>Текст:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>Шрифт:</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>Высота букв, пикс.:</source>
        <translation>Letter height, px:</translation>
    </message>
    <message>
        <source>Между буквами, пикс.:</source>
        <translation>Between letters, px:</translation>
    </message>
    <message>
        <source>Между строками:</source>
        <translation>Between lines:</translation>
    </message>
    <message>
        <source>Выравнивание:</source>
        <translation>Alignment:</translation>
    </message>
    <message>
        <source>Место:</source>
        <translation>Place:</translation>
    </message>
    <message>
        <source>Шаг точек, пикс.:</source>
        <translation>Point spacing, px:</translation>
    </message>
    <message>
        <source>Высота %1</source>
        <translation>Height %1</translation>
    </message>
</context>
<context>
    <name>window::TraceDialog</name>
    <message>
        <source>Трассировка подложки</source>
        <translation>Trace the underlay</translation>
    </message>
    <message>
        <source>Контур</source>
        <translation>Outline</translation>
    </message>
    <message>
        <source>Края</source>
        <translation>Edges</translation>
    </message>
    <message>
        <source>Средняя линия</source>
        <translation>Centre line</translation>
    </message>
    <message>
        <source>Контур: границы тёмных областей. Края: резкие перепады яркости. Средняя линия: середина штрихов рисунка</source>
        <translation>Outline: the borders of dark regions. Edges: sharp changes of brightness. Centre line: the middle of the picture&apos;s strokes</translation>
    </message>
    <message>
        <source>Инверсия</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>Брать области светлее порога</source>
        <translation>Take the regions lighter than the threshold</translation>
    </message>
    <message>
        <source>Более короткие линии считаются соринками</source>
        <translation>Shorter lines are taken for specks</translation>
    </message>
    <message>
        <source>Режим:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>Порог:</source>
        <translation>Threshold:</translation>
    </message>
    <message>
        <source>Сглаживание, пикс.:</source>
        <translation>Smoothing, px:</translation>
    </message>
    <message>
        <source>Мин. длина, пикс.:</source>
        <translation>Min. length, px:</translation>
    </message>
    <message>
        <source>Допуск упрощения, пикс.:</source>
        <translation>Simplification tolerance, px:</translation>
    </message>
    <message>
        <source>Шаг точек, пикс.:</source>
        <translation>Point spacing, px:</translation>
    </message>
</context>
</TS>
