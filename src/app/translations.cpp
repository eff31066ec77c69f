#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tilmora {

namespace {

// `fileName` for `language` (tried as "de_AT", then "de") from `folder`, installed; or nothing.
std::unique_ptr<QTranslator> installed(const QLocale& language, const QString& fileName,
                                       const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(language, fileName, QStringLiteral("_"), folder) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

} // namespace

std::vector<std::unique_ptr<QTranslator>> installTranslations(const QLocale& locale)
{
    std::vector<std::unique_ptr<QTranslator>> translators;
    for (const QString& name : locale.uiLanguages()) {
        const QLocale language(name);
        if (language.language() == QLocale::English)
            break;
        auto game = installed(language, QStringLiteral("tilmora"), QStringLiteral(":/i18n"));
        if (!game)
            continue;
        // Qt's own in the language the game found, not in one it does not speak: a player who
        // reads the game in English gets Qt's buttons in English too.
        auto qt = installed(QLocale(game->language()), QStringLiteral("qtbase"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        translators.push_back(std::move(game));
        if (qt)
            translators.push_back(std::move(qt));
        break;
    }
    return translators;
}

} // namespace tilmora
