<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr" sourcelanguage="en">
<context>
    <name>tilmora::RefusalMessages</name>
    <message>
        <source>“%1” is damaged and cannot be shown.</source>
        <translation>Le fichier «&#xa0;%1&#xa0;» est endommagé et ne peut pas être affiché.</translation>
    </message>
    <message>
        <source>“%1” is a kind of picture this game does not open (%2).</source>
        <translation>«&#xa0;%1&#xa0;» est une image d’un format que ce jeu n’ouvre pas (%2).</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels, more than %4 megapixels.</source>
        <translation>L’image «&#xa0;%1&#xa0;» est trop grande&#xa0;: %2 × %3 pixels, soit plus de %4 mégapixels.</translation>
    </message>
    <message>
        <source>“%1” is too large: %2 x %3 pixels at its colour depth would take more than %4 MB.</source>
        <translation>L’image «&#xa0;%1&#xa0;» est trop grande&#xa0;: %2 × %3 pixels à cette profondeur de couleur occuperaient plus de %4&#xa0;Mo.</translation>
    </message>
    <message>
        <source>“%1” does not exist.</source>
        <translation>«&#xa0;%1&#xa0;» n’existe pas.</translation>
    </message>
    <message>
        <source>“%1” is not a file.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un fichier.</translation>
    </message>
    <message>
        <source>You do not have permission to read “%1”.</source>
        <translation>Vous n’avez pas l’autorisation de lire «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>“%1” is empty, not a picture.</source>
        <translation>Le fichier «&#xa0;%1&#xa0;» est vide&#xa0;: ce n’est pas une image.</translation>
    </message>
    <message>
        <source>“%1” is not a picture.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une image.</translation>
    </message>
    <message>
        <source>“%1” was not opened: pictures cannot be read safely on this system.</source>
        <translation>Le fichier «&#xa0;%1&#xa0;» n’a pas été ouvert&#xa0;: les images ne peuvent pas être lues en toute sécurité sur ce système.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A sliding picture puzzle: cut a picture of your own into pieces and slide them back into place.</source>
        <translation>Un taquin en images&#xa0;: découpez l’une de vos images en pièces et remettez-les en place en les faisant glisser.</translation>
    </message>
    <message>
        <source>Displays this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>picture</source>
        <translation>image</translation>
    </message>
    <message>
        <source>A picture to load at start-up (%1 or a Windows icon).</source>
        <translation>Une image à charger au démarrage (%1 ou icône Windows).</translation>
    </message>
    <message>
        <source>[picture]</source>
        <translation>[image]</translation>
    </message>
    <message>
        <source>Only one picture can be opened.</source>
        <translation>Une seule image peut être ouverte.</translation>
    </message>
</context>
<context>
    <name>tilmora::BoardAccessible</name>
    <message>
        <source>Board</source>
        <translation>Plateau</translation>
    </message>
</context>
<context>
    <name>tilmora::FileDialogChooser</name>
    <message>
        <source>ICO files (*.ICO)</source>
        <translation>Fichiers ICO (*.ICO)</translation>
    </message>
    <message>
        <source>All files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
</context>
<context>
    <name>tilmora::MessageBoxes</name>
    <message>
        <source>Tilmora Picture Puzzle Game</source>
        <translation>Puzzle d’images Tilmora</translation>
    </message>
</context>
<context>
    <name>tilmora::ParAdvisor</name>
    <message>
        <source>Moves: %1 - fewest possible: %2</source>
        <extracomment>The end of a game: the moves made, and the fewest that could have solved the deal.</extracomment>
        <translation>Coups&#xa0;: %1 - minimum possible&#xa0;: %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2</source>
        <extracomment>The end of a game where only a bound on the fewest moves is known.</extracomment>
        <translation>Coups&#xa0;: %1 - minimum possible&#xa0;: au moins %2</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: %2 - hints: %3</source>
        <extracomment>The end of a game: moves made, the fewest possible, and the hints taken.</extracomment>
        <translation>Coups&#xa0;: %1 - minimum possible&#xa0;: %2 - indices&#xa0;: %3</translation>
    </message>
    <message>
        <source>Moves: %1 - fewest possible: at least %2 - hints: %3</source>
        <extracomment>The end of a game with a bound on the fewest moves, and the hints taken.</extracomment>
        <translation>Coups&#xa0;: %1 - minimum possible&#xa0;: au moins %2 - indices&#xa0;: %3</translation>
    </message>
</context>
<context>
    <name>tilmora::PieceAccessible</name>
    <message>
        <source>row %1, column %2</source>
        <extracomment>A place on the board, counted from the top left.</extracomment>
        <translation>ligne %1, colonne %2</translation>
    </message>
    <message>
        <source>%1, in place</source>
        <translation>%1, en place</translation>
    </message>
    <message>
        <source>Refused</source>
        <translation>Refusé</translation>
    </message>
    <message>
        <source>Blank, %1</source>
        <translation>Vide, %1</translation>
    </message>
    <message>
        <source>piece %1</source>
        <translation>pièce %1</translation>
    </message>
    <message>
        <source>piece for %1</source>
        <translation>pièce pour %1</translation>
    </message>
    <message>
        <source>%1, now %2</source>
        <translation>%1, maintenant %2</translation>
    </message>
</context>
<context>
    <name>tilmora::StatusRow</name>
    <message>
        <source>Attempts</source>
        <translation>Essais</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Temps</translation>
    </message>
    <message>
        <source>%1 Seconds</source>
        <translation>%1 secondes</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A result of the status row read by a screen reader: its caption, then what it shows.</extracomment>
        <translation>%1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>tilmora::frmhelp</name>
    <message>
        <source>Original Picture</source>
        <translation>Image originale</translation>
    </message>
</context>
<context>
    <name>tilmora::frmhelpcontent</name>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
</context>
<context>
    <name>tilmora::frmmain</name>
    <message>
        <source>The picture is too small to cut into %1 x %1 pieces.</source>
        <translation>L’image est trop petite pour être découpée en %1 × %1 pièces.</translation>
    </message>
    <message>
        <source>                        Game is over.</source>
        <translation>                        La partie est terminée.</translation>
    </message>
    <message>
        <source>First Load the picture.</source>
        <translation>Chargez d’abord une image.</translation>
    </message>
    <message>
        <source>First load the picture.</source>
        <translation>Chargez d’abord une image.</translation>
    </message>
    <message>
        <source>%1 - Game created by %2 </source>
        <translation>%1 – un jeu créé par %2 </translation>
    </message>
    <message>
        <source>&amp;Game</source>
        <translation>&amp;Partie</translation>
    </message>
    <message>
        <source>&amp;Load Picture</source>
        <translation>&amp;Charger une image</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>&amp;Démarrer</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>&amp;Level</source>
        <translation>&amp;Niveau</translation>
    </message>
    <message>
        <source>&amp;Easy</source>
        <translation>&amp;Facile</translation>
    </message>
    <message>
        <source>&amp;Hard</source>
        <translation>&amp;Difficile</translation>
    </message>
    <message>
        <source>Squares &amp;Size</source>
        <translation>&amp;Grille</translation>
    </message>
    <message>
        <source>&amp;Numbers</source>
        <translation>N&amp;uméros</translation>
    </message>
    <message>
        <source>&amp;Quick Help</source>
        <translation>&amp;Aide rapide</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Original Picture</source>
        <translation>&amp;Image originale</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Hint</source>
        <extracomment>Game menu: puts the focus on a piece to move next. Keep an &amp; before the Alt key&apos;s letter.</extracomment>
        <translation>&amp;Indice</translation>
    </message>
</context>
<context>
    <name>tilmora::help</name>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in           menu.</source>
        <translation>    1) Pour jouer à ce merveilleux puzzle, allez d’abord dans               le menu             et choisissez                                    pour ouvrir         votre image préférée.</translation>
    </message>
    <message>
        <source>    2) Then go to         in           menu which divides pictures in            scattered parts.</source>
        <translation>    2) Puis choisissez                   dans le menu             pour                découper l’image en pièces mélangées.</translation>
    </message>
    <message>
        <source>    3) You can change the game          from             menu.</source>
        <translation>    3) Le menu                permet de changer le               de jeu.</translation>
    </message>
    <message>
        <source>        i.  Easy Level : Any piece of picture can move to blank                   place by clicking the piece of picture.</source>
        <translation>        i.  Facile&#xa0;: n’importe quelle pièce rejoint la case vide                  d’un simple clic.</translation>
    </message>
    <message>
        <source>        ii. Hard Level : Only one adjacent piece of picture from four            directions can move to blank place.</source>
        <translation>        ii. Difficile&#xa0;: seule une pièce voisine de la case vide (en              haut, en bas, à gauche ou à droite) peut y glisser.</translation>
    </message>
    <message>
        <source>    4) You can also change the                    from            menu.</source>
        <translation>    4) Le menu                permet aussi de choisir                                  la            du puzzle.</translation>
    </message>
    <message>
        <source>    5) Go to                          in                  menu to view the            full picture of puzzle.</source>
        <translation>    5)                              du menu                       affiche l’image           entière du puzzle.</translation>
    </message>
    <message>
        <source>    1) To play this wonderful puzzle Game, first load your favorite          picture through                     in            menu.</source>
        <translation>    1) Pour jouer à ce merveilleux puzzle, allez d’abord dans               le menu              et choisissez                                    pour ouvrir         votre image préférée.</translation>
    </message>
    <message>
        <source>Load Picture</source>
        <translation>Charger une image</translation>
    </message>
    <message>
        <source>Game</source>
        <translation>Partie</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Niveau</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Square Size</source>
        <translation>Grille</translation>
    </message>
    <message>
        <source>Original Picture</source>
        <translation>Image originale</translation>
    </message>
    <message>
        <source>Quick Help</source>
        <translation>Aide rapide</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblhelp1ld</comment>
        <translation>choisissez</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpgame</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblhelpstart</comment>
        <translation>choisissez</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblg1</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lblhelplevel</comment>
        <translation>le</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblhelpoption</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblhelpss</comment>
        <translation>la</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop1</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblhelpop</comment>
        <translation>5)</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblhelpqh</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>through</source>
        <comment>gap of lblld</comment>
        <translation>choisissez</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>go to</source>
        <comment>gap of lblstart</comment>
        <translation>choisissez</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblgame1</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>game</source>
        <comment>gap of lbllevel</comment>
        <translation>le</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lbloption</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>the</source>
        <comment>gap of lblsqsize</comment>
        <translation>la</translation>
    </message>
    <message>
        <source>from</source>
        <comment>gap of lblop2</comment>
        <translation>menu</translation>
    </message>
    <message>
        <source>Go to</source>
        <comment>gap of lblopic</comment>
        <translation>5)</translation>
    </message>
    <message>
        <source>in</source>
        <comment>gap of lblqh</comment>
        <translation>menu</translation>
    </message>
</context>
</TS>
