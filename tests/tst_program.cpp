// The program itself, as started from a terminal: its command line in the user's language, and a
// file size limit that must not end it. Each case runs the built program (on Linux).

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// The program in its own folder, with a user of its own and the given language; without a
// display, or with Qt's offscreen one. No locale needs to be installed: Qt reads the names.
void prepare(QProcess &program, const QTemporaryDir &home, const QString &lang, bool display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name :
         {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(u"LANG"_qs, lang);
    if (display)
        environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), home.path());
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setProgram(QStringLiteral(ZORV_PROGRAM));
}

} // namespace

class tst_program final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void speaksTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("display");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("says"); // parts of what it writes, in order
        const QString ja = u"ja_JP.UTF-8"_qs;
        QTest::newRow("help, Japanese")
            << ja << true << QStringList{u"--help"_qs} << 0
            << QStringList{u"使い方:"_qs, u"[カードファイル]"_qs, u"このヘルプを表示する。"_qs,
                           u"バージョン情報を表示する。"_qs, u"読み込むカードファイル。"_qs};
        QTest::newRow("help, English")
            << u"C"_qs << true << QStringList{u"--help"_qs} << 0
            << QStringList{u"Usage:"_qs, u"[CARDFILE]"_qs, u"Displays this help."_qs,
                           u"Displays version information."_qs, u"The card file to read."_qs};
        QTest::newRow("two card files, Japanese")
            << ja << true << QStringList{u"a.dat"_qs, u"b.dat"_qs} << 1
            << QStringList{u"カードファイルは一つだけ指定してください"_qs};
        QTest::newRow("an unknown option, Japanese, no display")
            << ja << false << QStringList{u"--colour"_qs} << 1
            << QStringList{u"'colour' は未知のオプションです。"_qs};
        QTest::newRow("no display, Japanese")
            << ja << false << QStringList() << 1
            << QStringList{u"ディスプレイが見つかりません"_qs, u"xvfb-run"_qs};
    }
    void speaksTheUsersLanguage()
    {
#ifndef Q_OS_LINUX
        QSKIP("the built program is run on Linux only");
#endif
        QFETCH(QString, lang);
        QFETCH(bool, display);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, says);
        const QTemporaryDir home;
        QProcess program;
        prepare(program, home, lang, display);
        program.setArguments(arguments);
        program.start();
        QVERIFY(program.waitForFinished(60'000));
        const QString output = QString::fromUtf8(program.readAll());
        QCOMPARE(program.exitCode(), exitCode);
        qsizetype at = 0;
        for (const QString &part : says) {
            at = output.indexOf(part, at);
            QVERIFY2(at >= 0, qPrintable(part + u" not in:\n"_qs + output));
        }
    }

    // Under a file size limit a write past it must fail, and saving say so, instead of the signal
    // ending the program: it ignores SIGXFSZ from its start (it has printed the card file's
    // problem by then), whatever it was started with.
    void ignoresTheFileSizeLimitSignal()
    {
#ifdef Q_OS_LINUX
        const QTemporaryDir home;
        QProcess program;
        prepare(program, home, u"C"_qs, true);
        program.setArguments({home.filePath(u"missing.dat"_qs)});
        program.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 1 << 16;
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        program.start();
        QByteArray output;
        while (!output.contains("missing.dat") && program.waitForReadyRead(60'000))
            output += program.readAll();
        QFile status(u"/proc/%1/status"_qs.arg(program.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QByteArray all = status.readAll();
        program.kill();
        program.waitForFinished();
        QVERIFY2(output.contains("missing.dat"), output.constData());
        const qsizetype at = all.indexOf("SigIgn:");
        QVERIFY(at >= 0);
        const quint64 ignored =
            all.mid(at + 7, all.indexOf('\n', at) - at - 7).trimmed().toULongLong(nullptr, 16);
        QVERIFY(ignored & (quint64(1) << (SIGXFSZ - 1)));
#else
        QSKIP("no file size limit signal here");
#endif
    }
};

QTEST_GUILESS_MAIN(tst_program)
#include "tst_program.moc"
