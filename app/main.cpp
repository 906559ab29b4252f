#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace {

// On X11 and Wayland systems the toolkit stops with a cryptic error when there is no display;
// say plainly what is missing instead.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto isSet = [](const char *name) {
        return !qEnvironmentVariableIsEmpty(name);
    };
    return !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

// Answers --help and --version (and exits); returns the card file named, or an empty text.
QString parseCommandLine(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Look up the cards of the Zorv card game."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("CARDFILE"),
        QStringLiteral("The card file to read. Without it: CardData.dat in the user's data "
                       "folder (%1) if it exists, else the one beside the program.")
            .arg(QDir::toNativeSeparators(mdlZorv::userCardDataPath())),
        QStringLiteral("[CARDFILE]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("zorv-card-search: name one card file at most (see --help).\n", stderr);
        std::exit(EXIT_FAILURE);
    }
    return files.isEmpty() ? QString() : files.first();
}

void describeProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorv-card-search"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORV_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    describeProgram();
    if (displayMissing()) {
        const QCoreApplication app(argc, argv);
        parseCommandLine(app);
        std::fputs("zorv-card-search: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                   "Start it from a desktop session, or without a screen as:\n"
                   "  xvfb-run -a zorv-card-search\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    installQtTranslations(QLocale());
    const QString named = parseCommandLine(app);

    CardFileSession cardFile;
    const mdlZorv::LoadOutcome loaded = cardFile.load(mdlZorv::chooseCardFile(named));
    if (!loaded.problem.isEmpty())
        std::fprintf(stderr, "zorv-card-search: %s\n", qUtf8Printable(loaded.problem));
    frmMain window;
    window.hide();
    window.FormInit();
    window.followCardFile(&cardFile);
    window.restoreWindowPlace(); // before it shows, so that a message box opens over it
    window.show();
    return app.exec();
}
