// Tilmora Picture Puzzle Game: a sliding picture puzzle for the desktop.
//
//   tilmora-puzzle [PICTURE]    starts the game with PICTURE loaded, as Load Picture would
//   tilmora-puzzle --help       the usage;  --version: the name and version

#include "deferrediconstyle.h"
#include "identity/identity.h"
#include "mainwindow/frmmain.h"
#include "sharedwidgets/afterfirstpaint.h"
#include "translations.h"
#include "windowicon.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

void describeCommandLine(QCommandLineParser& parser)
{
    // Single-dash words are whole options, as in Qt's own (-platform, -style): "-platformtheme"
    // is never read as -p -l -a ... -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "A sliding picture puzzle: cut a picture of your own into "
                                            "pieces and slide them back into place."));
    // The help option of Qt's own would add --help-all, which only the full application answers.
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?")},
                      QCoreApplication::translate("main", "Displays this help.")});
    parser.addVersionOption();
    // The formats from the list the build keeps (CMakeLists.txt), so --help offers what the game opens.
    parser.addPositionalArgument(
        QCoreApplication::translate("main", "picture"),
        QCoreApplication::translate("main", "A picture to load at start-up (%1 or a Windows icon).")
            .arg(QString::fromUtf8(tilmora::identity::kFormatNames)),
        QCoreApplication::translate("main", "[picture]"));
}

// --help and --version are answered before the window system is reached, so they need no
// display; the program ends here when either is asked for.
void answerHelpOrVersion(int& argc, char* argv[])
{
    QCommandLineParser parser;
    describeCommandLine(parser);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Options unknown here may still be Qt's own, taken off later by the application object.
    static_cast<void>(parser.parse(arguments));
    if (!parser.isSet(QStringLiteral("version")) && !parser.isSet(QStringLiteral("help")))
        return;
    const QCoreApplication app(argc, argv); // names the program in the usage
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    // The usage in the player's language: described again now that there are translations, which
    // stay installed until showHelp() ends the program.
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores)
    const auto translators = tilmora::installTranslations(QLocale::system());
    QCommandLineParser usage;
    describeCommandLine(usage);
    usage.showHelp();
}

// The picture named on the command line, once the application object has taken Qt's own options
// off it; a file:// URL names its local path. A wrong command line gets the usage on standard
// error and ends the program.
std::optional<QString> pictureFromCommandLine()
{
    QCommandLineParser parser;
    describeCommandLine(parser);
    const bool parsed = parser.parse(QCoreApplication::arguments());
    const QStringList pictures = parser.positionalArguments();
    if (!parsed || pictures.size() > 1) {
        const QString error = parsed ? QCoreApplication::translate("main", "Only one picture can be opened.")
                                     : parser.errorText();
        std::fprintf(stderr, "%s\n\n", qPrintable(error));
        parser.showHelp(EXIT_FAILURE);
    }
    if (pictures.isEmpty())
        return std::nullopt;
    const QUrl url(pictures.front());
    return url.isLocalFile() ? url.toLocalFile() : pictures.front();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QString::fromUtf8(tilmora::identity::kName));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(tilmora::identity::kVersion));
    answerHelpOrVersion(argc, argv);

    QApplication app(argc, argv);
    const auto translators = tilmora::installTranslations(QLocale::system());
    const auto picture = pictureFromCommandLine();
    // The application id: desktops match the window to its desktop entry and icon by it.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(tilmora::identity::kId));
    // Window managers draw the window icon in title bars and window switchers, 16 to 64 pixels;
    // launchers, docks and task bars take larger sizes from the installed theme icon the desktop
    // entry names. Each rendering is read only when the window system asks for it.
    // The desktop's style, with the menu bar's overflow arrows fetched only if ever drawn: fetching
    // them would load every image-format plugin before the first frame.
    QApplication::setStyle(tilmora::deferredIconsOfCurrentStyle());
    QApplication::setWindowIcon(
        tilmora::windowIcon(QStringLiteral(":/icons/%1/tilmora-puzzle.png"), {16, 32, 48, 64}));

    tilmora::frmmain window;
    window.adjustSize();
    // Centred on the screen, as the game has always opened.
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    if (qEnvironmentVariableIntValue("TILMORA_QUIT_AFTER_FIRST_FRAME") == 1)
        new tilmora::AfterFirstPaint(&window, &QCoreApplication::quit); // start-up timed to it
    if (picture)
        window.loadPictureOnceShown(*picture);
    window.show();
    return QApplication::exec();
}
