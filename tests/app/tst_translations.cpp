// The player's language: the game's texts and Qt's own buttons for each language the game speaks
// (a region falling back to its language), English for any other. The rows run in turn, so a
// translation left installed by one row would show in the next.

#include "app/translations.h"

#include <QtTest>

class TranslationsTest : public QObject
{
    Q_OBJECT
private slots:
    void speakTheLanguageTheGameHas_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("button");
        struct Row {
            const char* locale;
            const char* refusal;
            const char* button;
        };
        for (const auto& [locale, refusal, button] :
             {Row{"de_DE", "„%1“ existiert nicht.", "Abbrechen"},
              Row{"fr_CA", "«\u00a0%1\u00a0» n’existe pas.", "Annuler"},
              Row{"es_MX", "«%1» no existe.", "Cancelar"}, Row{"ja_JP", "“%1” does not exist.", "Cancel"}})
            QTest::newRow(locale) << QString(locale) << QString(refusal) << QString(button);
    }
    void speakTheLanguageTheGameHas()
    {
        QFETCH(QString, locale);
        QFETCH(QString, refusal);
        QFETCH(QString, button);
        const auto translators = tilmora::installTranslations(QLocale(locale));
        QCOMPARE(QCoreApplication::translate("PictureLoader", "“%1” does not exist."), refusal);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), button);
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
