#include "app/commandLine.h"

#include "card_data/mdlZorv.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace commandLine {

namespace {

// The first of the user's languages (LANGUAGE, then LC_ALL, LC_MESSAGES or LANG on Linux) that is
// Japanese or English decides; no locale needs to be installed for it.
bool inJapanese()
{
    for (const QString &language : QLocale().uiLanguages()) {
        if (language.startsWith(u"ja"))
            return true;
        if (language.startsWith(u"en"))
            return false;
    }
    return false;
}

QString text(const QString &japanese, const QString &english)
{
    return inJapanese() ? japanese : english;
}

} // namespace

// The help option is the program's own: Qt's Japanese translation lacks the text of Qt's.
QString cardFileNamed(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(text(u"Zorv カードゲームのカードを調べます。"_qs,
                                          u"Look up the cards of the Zorv card game."_qs));
    const QCommandLineOption help(
#ifdef Q_OS_WIN
        {QStringLiteral("?"), QStringLiteral("h"), QStringLiteral("help")},
#else
        {QStringLiteral("h"), QStringLiteral("help")},
#endif
        text(u"このヘルプを表示する。"_qs, u"Displays this help."_qs));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(
        text(u"カードファイル"_qs, u"CARDFILE"_qs),
        // Qt wraps at blanks and counts a kanji as one column: the Japanese lines are broken here.
        text(u"読み込むカードファイル。省略すると、ユーザーのデータ\nフォルダーの %1 が\n"
             u"あればそれを、なければプログラムと同じフォルダーの\nCardData.dat を読む。"_qs,
             u"The card file to read. Without it: CardData.dat in the user's data folder (%1) if "
             u"it exists, else the one beside the program."_qs)
            .arg(QDir::toNativeSeparators(mdlZorv::userCardDataPath())),
        text(u"[カードファイル]"_qs, u"[CARDFILE]"_qs));
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp(EXIT_SUCCESS);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs(
            qUtf8Printable(text(
                u"zorv-card-search: カードファイルは一つだけ指定してください (--help 参照)。\n"_qs,
                u"zorv-card-search: name one card file at most (see --help).\n"_qs)),
            stderr);
        std::exit(EXIT_FAILURE);
    }
    return files.isEmpty() ? QString() : files.first();
}

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

void tellNoDisplay()
{
    std::fputs(
        qUtf8Printable(text(
            u"zorv-card-search: ディスプレイが見つかりません (DISPLAY も WAYLAND_DISPLAY "
            u"も設定されていません)。\n"
            u"デスクトップのセッションから起動するか、画面なしでは次のように起動してください:\n"
            u"  xvfb-run -a zorv-card-search\n"_qs,
            u"zorv-card-search: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
            u"Start it from a desktop session, or without a screen as:\n"
            u"  xvfb-run -a zorv-card-search\n"_qs)),
        stderr);
}

} // namespace commandLine
