<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es" sourcelanguage="en">
<context>
    <name>tilmora::RefusalMessages</name>
    <message>
        <source>“%1” is damaged and cannot be shown.</source>
        <translation>El archivo «%1» está dañado y no se puede mostrar.</translation>
    </message>
    <message>
        <source>“%1” is a kind of picture this game does not open (%2).</source>
        <translation>«%1» es un tipo de imagen que este juego no abre (%2).</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels, more than %4 megapixels.</source>
        <translation>«%1» es demasiado grande: %2 × %3 píxeles, más de %4 megapíxeles.</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.</source>
        <translation>«%1» es demasiado grande: %2 × %3 píxeles con esta profundidad de color ocuparían más de %4 MB.</translation>
    </message>
    <message>
        <source>“%1” does not exist.</source>
        <translation>«%1» no existe.</translation>
    </message>
    <message>
        <source>“%1” is not a file.</source>
        <translation>«%1» no es un archivo.</translation>
    </message>
    <message>
        <source>You do not have permission to read “%1”.</source>
        <translation>No tienes permiso para leer «%1».</translation>
    </message>
    <message>
        <source>“%1” is empty, not a picture.</source>
        <translation>El archivo «%1» está vacío: no es una imagen.</translation>
    </message>
    <message>
        <source>“%1” is not a picture.</source>
        <translation>«%1» no es una imagen.</translation>
    </message>
    <message>
        <source>“%1” was not opened: pictures cannot be read safely on this system.</source>
        <translation>El archivo «%1» no se ha abierto: las imágenes no se pueden leer de forma segura en este sistema.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A sliding picture puzzle: cut a picture of your own into pieces and slide them back into place.</source>
        <translation>Un puzle deslizante: corta en piezas una imagen tuya y deslízalas hasta devolverlas a su sitio.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>picture</source>
        <translation>imagen</translation>
    </message>
    <message>
        <source>A picture to load at start-up (%1 or a Windows icon).</source>
        <translation>Una imagen que cargar al empezar (%1 o un icono de Windows).</translation>
    </message>
    <message>
        <source>[picture]</source>
        <translation>[imagen]</translation>
    </message>
    <message>
        <source>Only one picture can be opened.</source>
        <translation>Solo se puede abrir una imagen.</translation>
    </message>
</context>
<context>
    <name>tilmora::BoardAccessible</name>
    <message>
        <source>Board</source>
        <translation>Tablero</translation>
    </message>
</context>
<context>
    <name>tilmora::FileDialogChooser</name>
    <message>
        <source>ICO files (*.ICO)</source>
        <translation>Archivos ICO (*.ICO)</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>Todos los archivos (*.*)</translation>
    </message>
</context>
<context>
    <name>tilmora::MessageBoxes</name>
    <message>
        <source>Tilmora Picture Puzzle Game</source>
        <translation>Puzle de imágenes Tilmora</translation>
    </message>
</context>
<context>
    <name>tilmora::ParAdvisor</name>
    <message>
        <source>Moves: %1 - fewest possible: %2</source>
        <extracomment>The end of a game: the moves made, and the fewest that could have solved the deal.</extracomment>
        <translation>Movimientos: %1 - mínimo posible: %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2</source>
        <extracomment>The end of a game where only a bound on the fewest moves is known.</extracomment>
        <translation>Movimientos: %1 - mínimo posible: al menos %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: %2 - hints: %3</source>
        <extracomment>The end of a game: moves made, the fewest possible, and the hints taken.</extracomment>
        <translation>Movimientos: %1 - mínimo posible: %2 - pistas: %3</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2 - hints: %3</source>
        <extracomment>The end of a game with a bound on the fewest moves, and the hints taken.</extracomment>
        <translation>Movimientos: %1 - mínimo posible: al menos %2 - pistas: %3</translation>
    </message>
</context>
<context>
    <name>tilmora::PieceAccessible</name>
    <message>
        <source>row %1, column %2</source>
        <extracomment>A place on the board, counted from the top left.</extracomment>
        <translation>fila %1, columna %2</translation>
    </message>
    <message>
        <source>%1, in place</source>
        <translation>%1, en su sitio</translation>
    </message>
    <message>
        <source>Refused</source>
        <translation>Rechazado</translation>
    </message>
    <message>
        <source>Blank, %1</source>
        <translation>Hueco, %1</translation>
    </message>
    <message>
        <source>piece %1</source>
        <translation>pieza %1</translation>
    </message>
    <message>
        <source>piece for %1</source>
        <translation>pieza para %1</translation>
    </message>
    <message>
        <source>%1, now %2</source>
        <translation>%1, ahora %2</translation>
    </message>
</context>
<context>
    <name>tilmora::StatusRow</name>
    <message>
        <source>Attempts</source>
        <translation>Intentos</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tiempo</translation>
    </message>
    <message>
        <source>%1 Seconds</source>
        <translation>%1 segundos</translation>
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
        <translation>Imagen original</translation>
    </message>
</context>
<context>
    <name>tilmora::frmhelpcontent</name>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
</context>
<context>
    <name>tilmora::frmmain</name>
    <message>
        <source>The picture is too small to cut into %1 x %1 pieces.</source>
        <translation>La imagen es demasiado pequeña para cortarla en %1 × %1 piezas.</translation>
    </message>
    <message>
        <source>                        Game is over.</source>
        <translation>                        La partida ha terminado.</translation>
    </message>
    <message>
        <source>First Load the picture.</source>
        <translation>Carga primero una imagen.</translation>
    </message>
    <message>
        <source>First load the picture.</source>
        <translation>Carga primero una imagen.</translation>
    </message>
    <message>
        <source>%1 - Game created by %2 </source>
        <translation>%1 – un juego creado por %2 </translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Juego</translation>
    </message>
    <message>
        <source>&amp;Load Picture</source>
        <translation>&amp;Cargar imagen</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Empezar</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>&amp;Opciones</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>&amp;Nivel</translation>
    </message>
    <message>
        <source>&amp;Easy</source>
        <translation>&amp;Fácil</translation>
    </message>
    <message>
        <source>&amp;Hard</source>
        <translation>&amp;Difícil</translation>
    </message>
    <message>
        <source>Squares &amp;Size</source>
        <translation>&amp;Cuadrícula</translation>
    </message>
    <message>
        <source>&amp;Numbers</source>
        <translation>Nú&amp;meros</translation>
    </message>
    <message>
        <source>&amp;Quick Help</source>
        <translation>&amp;Ayuda rápida</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Ayuda</translation>
    </message>
    <message>
        <source>&amp;Original Picture</source>
        <translation>&amp;Imagen original</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <extracomment>Game menu: puts the focus on a piece to move next. Keep an &amp; before the Alt key&apos;s letter.</extracomment>
        <translation>&amp;Pista</translation>
    </message>
</context>
<context>
    <name>tilmora::help</name>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in           menu.</source>
        <translation>    1) Para jugar a este maravilloso puzle, carga primero tu                imagen favorita: elige                             en el menú            y             selecciónala.</translation>
    </message>
    <message>
        <source>    2) Then go to         in           menu which divides pictures in            scattered parts.</source>
        <translation>    2) Luego elige                  en el menú            para dividir                la imagen en piezas desordenadas.</translation>
    </message>
    <message>
        <source>    3) You can change the game          from             menu.</source>
        <translation>    3) En el menú                   puedes cambiar el           de juego.</translation>
    </message>
    <message>
        <source>        i.  Easy Level : Any piece of picture can move to blank                   place by clicking the piece of picture.</source>
        <translation>        i.  Fácil: cualquier pieza puede pasar al hueco con solo              hacer clic en ella.</translation>
    </message>
    <message>
        <source>        ii. Hard Level : Only one adjacent piece of picture from four            directions can move to blank place.</source>
        <translation>        ii. Difícil: solo puede pasar al hueco una pieza que esté             junto a él (arriba, abajo, a la izquierda o a la derecha).</translation>
    </message>
    <message>
        <source>    4) You can also change the                    from            menu.</source>
        <translation>    4) En el menú                   también puedes elegir                            la                     que prefieras.</translation>
    </message>
    <message>
        <source>    5) Go to                          in                  menu to view the            full picture of puzzle.</source>
        <translation>    5) Elige                              en el menú                          para           ver la imagen completa del puzle.</translation>
    </message>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in            menu.</source>
        <translation>    1) Para jugar a este maravilloso puzle, carga primero tu                imagen favorita: elige                             en el menú             y             selecciónala.</translation>
    </message>
    <message>
        <source>Load Picture</source>
        <translation>Cargar imagen</translation>
    </message>
    <message>
        <source>Game</source>
        <translation>Juego</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Empezar</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Nivel</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Square Size</source>
        <translation>Cuadrícula</translation>
    </message>
    <message>
        <source>Original Picture</source>
        <translation>Imagen original</translation>
    </message>
    <message>
        <source>Quick Help</source>
        <translation>Ayuda rápida</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Ayuda</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblhelp1ld</comment>
        <translation>elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpgame</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblhelpstart</comment>
        <translation>elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblg1</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lblhelplevel</comment>
        <translation>el</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblhelpoption</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblhelpss</comment>
        <translation>la</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop1</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblhelpop</comment>
        <translation>Elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpqh</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblld</comment>
        <translation>elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblstart</comment>
        <translation>elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame1</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lbllevel</comment>
        <translation>el</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lbloption</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblsqsize</comment>
        <translation>la</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop2</comment>
        <translation>menú</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblopic</comment>
        <translation>Elige</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblqh</comment>
        <translation>menú</translation>
    </message>
</context>
</TS>
