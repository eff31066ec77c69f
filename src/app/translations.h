#pragma once

// The game in the player's language: its own texts, compiled into the program from translations/,
// and Qt's (the file dialog, the message boxes' buttons, the command line's usage) to match.

#include <QLocale>
#include <QTranslator>

#include <memory>
#include <vector>

namespace tilmora {

// Installs the translation of the first of `locale`'s languages, in the player's order of
// preference, that the game speaks, with Qt's own in that language; they stay installed as long as
// the returned translators live. English is the game's own language: when it comes first, or no
// language is found, nothing is installed and the game speaks English. Needs the application object.
[[nodiscard]] std::vector<std::unique_ptr<QTranslator>> installTranslations(const QLocale& locale);

} // namespace tilmora
