<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>tilmora::RefusalMessages</name>
    <message>
        <source>“%1” is damaged and cannot be shown.</source>
        <translation>„%1“ ist beschädigt und kann nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>“%1” is a kind of picture this game does not open (%2).</source>
        <translation>„%1“ ist ein Bild in einem Format, das dieses Spiel nicht öffnet (%2).</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels, more than %4 megapixels.</source>
        <translation>„%1“ ist zu groß: %2 × %3 Pixel, mehr als %4 Megapixel.</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.</source>
        <translation>„%1“ ist zu groß: %2 × %3 Pixel in dieser Farbtiefe bräuchten mehr als %4 MB.</translation>
    </message>
    <message>
        <source>“%1” does not exist.</source>
        <translation>„%1“ existiert nicht.</translation>
    </message>
    <message>
        <source>“%1” is not a file.</source>
        <translation>„%1“ ist keine Datei.</translation>
    </message>
    <message>
        <source>You do not have permission to read “%1”.</source>
        <translation>Du hast keine Berechtigung, „%1“ zu lesen.</translation>
    </message>
    <message>
        <source>“%1” is empty, not a picture.</source>
        <translation>„%1“ ist leer und kein Bild.</translation>
    </message>
    <message>
        <source>“%1” is not a picture.</source>
        <translation>„%1“ ist kein Bild.</translation>
    </message>
    <message>
        <source>“%1” was not opened: pictures cannot be read safely on this system.</source>
        <translation>„%1“ wurde nicht geöffnet: Bilder können auf diesem System nicht sicher gelesen werden.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A sliding picture puzzle: cut a picture of your own into pieces and slide them back into place.</source>
        <translation>Ein Schiebepuzzle mit Bildern: Zerschneide ein eigenes Bild in Teile und schiebe sie wieder an ihren Platz.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Zeigt diese Hilfe an.</translation>
    </message>
    <message>
        <source>picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>A picture to load at start-up (%1 or a Windows icon).</source>
        <translation>Ein Bild, das beim Start geladen wird (%1 oder ein Windows-Symbol).</translation>
    </message>
    <message>
        <source>[picture]</source>
        <translation>[Bild]</translation>
    </message>
    <message>
        <source>Only one picture can be opened.</source>
        <translation>Es kann nur ein Bild geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>tilmora::BoardAccessible</name>
    <message>
        <source>Board</source>
        <translation>Spielbrett</translation>
    </message>
</context>
<context>
    <name>tilmora::FileDialogChooser</name>
    <message>
        <source>ICO files (*.ICO)</source>
        <translation>ICO-Dateien (*.ICO)</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
</context>
<context>
    <name>tilmora::MessageBoxes</name>
    <message>
        <source>Tilmora Picture Puzzle Game</source>
        <translation>Tilmora-Bilderpuzzle</translation>
    </message>
</context>
<context>
    <name>tilmora::ParAdvisor</name>
    <message>
        <source>Moves: %1 - fewest possible: %2</source>
        <extracomment>The end of a game: the moves made, and the fewest that could have solved the deal.</extracomment>
        <translation>Züge: %1 - kürzester Weg: %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2</source>
        <extracomment>The end of a game where only a bound on the fewest moves is known.</extracomment>
        <translation>Züge: %1 - kürzester Weg: mindestens %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: %2 - hints: %3</source>
        <extracomment>The end of a game: moves made, the fewest possible, and the hints taken.</extracomment>
        <translation>Züge: %1 - kürzester Weg: %2 - Tipps: %3</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2 - hints: %3</source>
        <extracomment>The end of a game with a bound on the fewest moves, and the hints taken.</extracomment>
        <translation>Züge: %1 - kürzester Weg: mindestens %2 - Tipps: %3</translation>
    </message>
</context>
<context>
    <name>tilmora::PieceAccessible</name>
    <message>
        <source>row %1, column %2</source>
        <extracomment>A place on the board, counted from the top left.</extracomment>
        <translation>Zeile %1, Spalte %2</translation>
    </message>
    <message>
        <source>%1, in place</source>
        <translation>%1, am Platz</translation>
    </message>
    <message>
        <source>Refused</source>
        <translation>Abgelehnt</translation>
    </message>
    <message>
        <source>Blank, %1</source>
        <translation>Lücke, %1</translation>
    </message>
    <message>
        <source>piece %1</source>
        <translation>Teil %1</translation>
    </message>
    <message>
        <source>piece for %1</source>
        <translation>Teil für %1</translation>
    </message>
    <message>
        <source>%1, now %2</source>
        <translation>%1, jetzt %2</translation>
    </message>
</context>
<context>
    <name>tilmora::StatusRow</name>
    <message>
        <source>Attempts</source>
        <translation>Versuche</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>%1 Seconds</source>
        <translation>%1 Sekunden</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A result of the status row read by a screen reader: its caption, then what it shows.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>tilmora::frmhelp</name>
    <message>
        <source>Original Picture</source>
        <translation>Originalbild</translation>
    </message>
</context>
<context>
    <name>tilmora::frmhelpcontent</name>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
</context>
<context>
    <name>tilmora::frmmain</name>
    <message>
        <source>The picture is too small to cut into %1 x %1 pieces.</source>
        <translation>Das Bild ist zu klein, um es in %1 × %1 Teile zu zerschneiden.</translation>
    </message>
    <message>
        <source>                        Game is over.</source>
        <translation>                        Das Spiel ist vorbei.</translation>
    </message>
    <message>
        <source>First Load the picture.</source>
        <translation>Lade zuerst ein Bild.</translation>
    </message>
    <message>
        <source>First load the picture.</source>
        <translation>Lade zuerst ein Bild.</translation>
    </message>
    <message>
        <source>%1 - Game created by %2 </source>
        <translation>%1 – ein Spiel von %2 </translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Spiel</translation>
    </message>
    <message>
        <source>&amp;Load Picture</source>
        <translation>&amp;Bild laden</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>&amp;Schwierigkeit</translation>
    </message>
    <message>
        <source>&amp;Easy</source>
        <translation>&amp;Leicht</translation>
    </message>
    <message>
        <source>&amp;Hard</source>
        <translation>&amp;Schwer</translation>
    </message>
    <message>
        <source>Squares &amp;Size</source>
        <translation>&amp;Rastergröße</translation>
    </message>
    <message>
        <source>&amp;Numbers</source>
        <translation>&amp;Nummern</translation>
    </message>
    <message>
        <source>&amp;Quick Help</source>
        <translation>&amp;Kurzhilfe</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Original Picture</source>
        <translation>&amp;Originalbild</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <extracomment>Game menu: puts the focus on a piece to move next. Keep an &amp; before the Alt key&apos;s letter.</extracomment>
        <translation>&amp;Tipp</translation>
    </message>
</context>
<context>
    <name>tilmora::help</name>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in           menu.</source>
        <translation>    1) Um dieses wunderbare Puzzlespiel zu spielen, lade zuerst         über                    im Menü           dein Lieblingsbild.</translation>
    </message>
    <message>
        <source>    2) Then go to         in           menu which divides pictures in            scattered parts.</source>
        <translation>    2) Mit                im Menü           wird das Bild dann in Teile              zerlegt und gemischt.</translation>
    </message>
    <message>
        <source>    3) You can change the game          from             menu.</source>
        <translation>    3) Die                           stellst du im Menü                   ein.</translation>
    </message>
    <message>
        <source>        i.  Easy Level : Any piece of picture can move to blank                   place by clicking the piece of picture.</source>
        <translation>        i.  Leicht: Jedes Bildteil kann auf das leere Feld rücken,              wenn du es anklickst.</translation>
    </message>
    <message>
        <source>        ii. Hard Level : Only one adjacent piece of picture from four            directions can move to blank place.</source>
        <translation>        ii. Schwer: Nur ein Teil, das oben, unten, links oder rechts          an das leere Feld grenzt, kann dorthin rücken.</translation>
    </message>
    <message>
        <source>    4) You can also change the                    from            menu.</source>
        <translation>    4) Auch die                        stellst du im Menü                   ein.</translation>
    </message>
    <message>
        <source>    5) Go to                          in                  menu to view the            full picture of puzzle.</source>
        <translation>    5) Unter                       im Menü                  siehst du das                ganze Bild des Puzzles.</translation>
    </message>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in            menu.</source>
        <translation>    1) Um dieses wunderbare Puzzlespiel zu spielen, lade zuerst         über                    im Menü            dein Lieblingsbild.</translation>
    </message>
    <message>
        <source>Load Picture</source>
        <translation>Bild laden</translation>
    </message>
    <message>
        <source>Game</source>
        <translation>Spiel</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Schwierigkeit</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Square Size</source>
        <translation>Rastergröße</translation>
    </message>
    <message>
        <source>Original Picture</source>
        <translation>Originalbild</translation>
    </message>
    <message>
        <source>Quick Help</source>
        <translation>Kurzhilfe</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblhelp1ld</comment>
        <translation>über</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpgame</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblhelpstart</comment>
        <translation>Mit</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblg1</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lblhelplevel</comment>
        <translation>Die</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblhelpoption</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblhelpss</comment>
        <translation>die</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop1</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblhelpop</comment>
        <translation>Unter</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpqh</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblld</comment>
        <translation>über</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblstart</comment>
        <translation>Mit</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame1</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lbllevel</comment>
        <translation>Die</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lbloption</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblsqsize</comment>
        <translation>die</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop2</comment>
        <translation>Menü</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblopic</comment>
        <translation>Unter</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblqh</comment>
        <translation>Menü</translation>
    </message>
</context>
</TS>
