#include "app/commandLine.h"
#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/frmMain.h"
#include "search_window/qtTranslations.h"
#include "search_window/recentCardFiles.h"

#include <QApplication>
#include <QLocale>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

void describeProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorv-card-search"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORV_VERSION));
}

// The file named on the command line, else the one the user opened last if it is still there,
// else the user's own or the one beside the program.
QString cardFileToRead(const QString &named)
{
    return mdlZorv::chooseCardFile(named.isEmpty() ? recentCardFiles::fileToReopen() : named);
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // Past a file size limit a write then fails (EFBIG), and saving says so, instead of the signal
    // ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    describeProgram();
    if (commandLine::displayMissing()) {
        const QCoreApplication app(argc, argv);
        installQtTranslations(QLocale());
        commandLine::cardFileNamed(app);
        commandLine::tellNoDisplay();
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    installQtTranslations(QLocale());
    const QString named = commandLine::cardFileNamed(app);

    CardFileSession cardFile;
    const mdlZorv::LoadOutcome loaded = cardFile.load(cardFileToRead(named));
    if (!loaded.problem.isEmpty())
        std::fprintf(stderr, "zorv-card-search: %s\n", qUtf8Printable(loaded.problem));
    else if (!named.isEmpty()) // as a file manager opens it: opened again next time
        recentCardFiles::remember(named);
    frmMain window;
    window.hide();
    window.FormInit();
    window.followCardFile(&cardFile);
    window.restoreWindowPlace(); // before it shows, so that a message box opens over it
    window.show();
    return app.exec();
}
