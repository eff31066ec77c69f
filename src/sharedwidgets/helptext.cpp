#include "helptext.h"

#include <QtGlobal>

namespace tilmora::help {

namespace {

// The paragraphs are spaced by hand, each string piece below being one line of the page: a gap is
// about as wide as the menu name printed over it, and the filler at the end of a first line is
// what pushed the words after it onto the next line when the page was first drawn up. The two
// pages differ only in the gap after "in" of the first paragraph.

// Long paragraphs are split over two string literals; they are not missing commas.
// NOLINTBEGIN(bugprone-suspicious-missing-comma)
constexpr const char* kQuickHelpParagraphs[] = {
    QT_TRANSLATE_NOOP("tilmora::help",
                      "    1) To play this wonderful puzzle Game, first load your favorite          "
                      "picture through                     in           menu."),
    QT_TRANSLATE_NOOP("tilmora::help",
                      "    2) Then go to         in           menu which divides pictures in            "
                      "scattered parts."),
    QT_TRANSLATE_NOOP("tilmora::help", "    3) You can change the game          from             menu."),
    QT_TRANSLATE_NOOP("tilmora::help",
                      "        i.  Easy Level : Any piece of picture can move to blank                   "
                      "place by clicking the piece of picture."),
    QT_TRANSLATE_NOOP("tilmora::help",
                      "        ii. Hard Level : Only one adjacent piece of picture from four            "
                      "directions can move to blank place."),
    QT_TRANSLATE_NOOP("tilmora::help",
                      "    4) You can also change the                    from            menu."),
    QT_TRANSLATE_NOOP("tilmora::help",
                      "    5) Go to                          in                  menu to view the            "
                      "full picture of puzzle."),
};

constexpr const char* kHelpContentParagraphs[] = {
    QT_TRANSLATE_NOOP("tilmora::help",
                      "    1) To play this wonderful puzzle Game, first load your favorite          "
                      "picture through                     in            menu."),
    kQuickHelpParagraphs[1],
    kQuickHelpParagraphs[2],
    kQuickHelpParagraphs[3],
    kQuickHelpParagraphs[4],
    kQuickHelpParagraphs[5],
    kQuickHelpParagraphs[6],
};
// NOLINTEND(bugprone-suspicious-missing-comma)

// Each anchor is translated on its own, told apart by its label ("gap of lblhelp1ld"): in a
// translation it is the words just before that name's gap in the translated paragraph, so each
// language sets its gaps where its own sentences want them.
constexpr MenuName kQuickHelpNames[] = {
    {"lblhelp1ld", QT_TRANSLATE_NOOP("tilmora::help", "Load Picture"), 0,
     QT_TRANSLATE_NOOP3("tilmora::help", "through", "gap of lblhelp1ld"), 1455, 255},
    {"lblhelpgame", QT_TRANSLATE_NOOP("tilmora::help", "Game"), 0,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblhelpgame"), 735, 255},
    {"lblhelpstart", QT_TRANSLATE_NOOP("tilmora::help", "Start"), 1,
     QT_TRANSLATE_NOOP3("tilmora::help", "go to", "gap of lblhelpstart"), 735, 255},
    {"lblg1", QT_TRANSLATE_NOOP("tilmora::help", "Game"), 1,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblg1"), 735, 255},
    {"lblhelplevel", QT_TRANSLATE_NOOP("tilmora::help", "Level"), 2,
     QT_TRANSLATE_NOOP3("tilmora::help", "game", "gap of lblhelplevel"), 735, 255},
    {"lblhelpoption", QT_TRANSLATE_NOOP("tilmora::help", "Option"), 2,
     QT_TRANSLATE_NOOP3("tilmora::help", "from", "gap of lblhelpoption"), 735, 255},
    {"lblhelpss", QT_TRANSLATE_NOOP("tilmora::help", "Square Size"), 5,
     QT_TRANSLATE_NOOP3("tilmora::help", "the", "gap of lblhelpss"), 1335, 255},
    {"lblop1", QT_TRANSLATE_NOOP("tilmora::help", "Option"), 5,
     QT_TRANSLATE_NOOP3("tilmora::help", "from", "gap of lblop1"), 1335, 255},
    {"lblhelpop", QT_TRANSLATE_NOOP("tilmora::help", "Original Picture"), 6,
     QT_TRANSLATE_NOOP3("tilmora::help", "Go to", "gap of lblhelpop"), 1815, 255},
    {"lblhelpqh", QT_TRANSLATE_NOOP("tilmora::help", "Quick Help"), 6,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblhelpqh"), 1815, 255},
};

constexpr MenuName kHelpContentNames[] = {
    {"lblld", QT_TRANSLATE_NOOP("tilmora::help", "Load Picture"), 0,
     QT_TRANSLATE_NOOP3("tilmora::help", "through", "gap of lblld"), 1455, 255},
    {"lblgame", QT_TRANSLATE_NOOP("tilmora::help", "Game"), 0,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblgame"), 735, 255},
    {"lblstart", QT_TRANSLATE_NOOP("tilmora::help", "Start"), 1,
     QT_TRANSLATE_NOOP3("tilmora::help", "go to", "gap of lblstart"), 615, 255},
    {"lblgame1", QT_TRANSLATE_NOOP("tilmora::help", "Game"), 1,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblgame1"), 735, 255},
    {"lbllevel", QT_TRANSLATE_NOOP("tilmora::help", "Level"), 2,
     QT_TRANSLATE_NOOP3("tilmora::help", "game", "gap of lbllevel"), 735, 375},
    {"lbloption", QT_TRANSLATE_NOOP("tilmora::help", "Option"), 2,
     QT_TRANSLATE_NOOP3("tilmora::help", "from", "gap of lbloption"), 735, 375},
    {"lblsqsize", QT_TRANSLATE_NOOP("tilmora::help", "Square Size"), 5,
     QT_TRANSLATE_NOOP3("tilmora::help", "the", "gap of lblsqsize"), 1335, 375},
    {"lblop2", QT_TRANSLATE_NOOP("tilmora::help", "Option"), 5,
     QT_TRANSLATE_NOOP3("tilmora::help", "from", "gap of lblop2"), 855, 255},
    {"lblopic", QT_TRANSLATE_NOOP("tilmora::help", "Original Picture"), 6,
     QT_TRANSLATE_NOOP3("tilmora::help", "Go to", "gap of lblopic"), 1815, 255},
    {"lblqh", QT_TRANSLATE_NOOP("tilmora::help", "Quick Help"), 6,
     QT_TRANSLATE_NOOP3("tilmora::help", "in", "gap of lblqh"), 1215, 255},
};

constexpr PageText kQuickHelp{QT_TRANSLATE_NOOP("tilmora::help", "Quick Help"), kQuickHelpParagraphs,
                              kQuickHelpNames};
constexpr PageText kHelpContent{QT_TRANSLATE_NOOP("tilmora::help", "Help"), kHelpContentParagraphs,
                                kHelpContentNames};

} // namespace

const PageText& quickHelp()
{
    return kQuickHelp;
}

const PageText& helpContent()
{
    return kHelpContent;
}

} // namespace tilmora::help
