// Benchmarks of loading, FormInit, the searches with their list refill, and the detail views,
// at several card counts. The card files come from zorv-gen-cards; bench/run makes them and
// passes their folder in ZORV_BENCH_DIR.

#include "card_data/mdlZorv.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardFind.h"
#include "card_rules/cardSearch.h"
#include "card_rules/cardSet.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"
#include "card_rules/tableExport.h"
#include "card_rules/tableSort.h"
#include "card_rules/textFold.h"
#include "search_window/cardFileSession.h"
#include "search_window/cardListModel.h"
#include "search_window/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStringDecoder>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <unistd.h>

namespace {

// The card file of the benchmark's size; for benchmarks of readings, whose second argument is 1,
// the one with names of kanji above all (zorv-gen-cards --kanji).
QString cardFile(benchmark::State &state, bool kanjiNames = false)
{
    return QStringLiteral("%1/cards-%2%3.dat")
        .arg(qEnvironmentVariable("ZORV_BENCH_DIR", QStringLiteral(".")),
             kanjiNames ? QStringLiteral("kanji-") : QString())
        .arg(state.range(0));
}

// Loads a card file once and keeps it while benchmarks of the same size follow each other.
void useCards(benchmark::State &state, bool kanjiNames = false)
{
    static QString loaded;
    const QString path = cardFile(state, kanjiNames);
    if (loaded != path) {
        const QString problem = mdlZorv::loadCardFile(path).problem;
        loaded = path;
        if (!problem.isEmpty())
            state.SkipWithError(qPrintable(problem));
    }
    state.counters["monsters"] = double(mdlZorv::intMonstarCount);
}

// Lets the window fold the cards' texts for the find bar, which it does on a thread of its own.
void waitUntilFolded(frmMain &window)
{
    const auto *count = window.findChild<QLabel *>(QStringLiteral("lblFindCount"));
    while (count->text().contains(QStringLiteral("準備中")))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Ctrl+L: the card table of the page in front, as the user opens it.
QWidget *openCardTable(frmMain &window)
{
    window.activateWindow(); // shortcuts answer in the active window
    (void)QTest::qWaitForWindowActive(&window);
    QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
    return window.findChild<QWidget *>(QStringLiteral("frmCardTable"));
}

// A shown window after FormInit for the loaded cards.
std::unique_ptr<frmMain> openWindow()
{
    auto window = std::make_unique<frmMain>();
    window->FormInit();
    window->show();
    QApplication::processEvents();
    return window;
}

template <typename T> T *control(frmMain &window, const char *name)
{
    return window.findChild<T *>(QLatin1StringView(name));
}

// Enter released in a threshold box runs its page's search with the filters as they stand.
void pressEnter(QLineEdit *box)
{
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &release);
    QApplication::processEvents(); // lets the list lay out and paint its new entries
}

void BM_Load(benchmark::State &state)
{
    const QString path = cardFile(state);
    for (auto _ : state)
        mdlZorv::loadCardFile(path);
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// The floor: decoding the same bytes with the platform's converter alone.
void BM_DecodeOnly(benchmark::State &state)
{
    QFile file(cardFile(state));
    if (!file.open(QIODevice::ReadOnly))
        return state.SkipWithError("no card file");
    const QByteArray bytes = file.readAll();
    for (auto _ : state) {
        QStringDecoder decoder("windows-31j");
        benchmark::DoNotOptimize(QString(decoder(bytes)));
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_FormInit(benchmark::State &state)
{
    useCards(state);
    for (auto _ : state) {
        state.PauseTiming();
        frmMain window;
        state.ResumeTiming();
        window.FormInit();
    }
}

void setNoFilters(frmMain &)
{}
void setType(frmMain &window)
{
    control<QComboBox>(window, "cmbType")->setCurrentText(QStringLiteral("天使"));
}
void setAtMost(frmMain &window)
{
    control<QLineEdit>(window, "txtAP")->setText(QStringLiteral("1000"));
    control<QRadioButton>(window, "optAP(1)")->setChecked(true);
}
void setDuelists(frmMain &window)
{
    control<QCheckBox>(window, "chkDuelistC(0)")->setChecked(true);
    control<QCheckBox>(window, "chkDuelistC(2)")->setChecked(true);
}
void setEverything(frmMain &window)
{
    setType(window);
    control<QComboBox>(window, "cmbMazoku")->setCurrentIndex(1);
    control<QComboBox>(window, "cmbLevel")->setCurrentIndex(4);
    control<QCheckBox>(window, "chkKouka")->setChecked(true);
    setDuelists(window);
    control<QLineEdit>(window, "txtCostC")->setText(QStringLiteral("3"));
    setAtMost(window);
    control<QLineEdit>(window, "txtDP")->setText(QStringLiteral("500"));
}

void BM_SearchMonstar(benchmark::State &state, void (*setFilters)(frmMain &))
{
    useCards(state);
    const auto window = openWindow();
    setFilters(*window);
    auto *box = control<QLineEdit>(*window, "txtCostC");
    for (auto _ : state)
        pressEnter(box);
    state.counters["listed"] =
        double(control<QListView>(*window, "lstMonstarName")->model()->rowCount());
}

void BM_SearchMagic(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    control<QTabWidget>(*window, "SSTab")->setCurrentIndex(1);
    auto *box = control<QLineEdit>(*window, "txtCostM");
    for (auto _ : state)
        pressEnter(box);
}

// Only the refill: every monster row into the list, laid out and painted.
void BM_ListRefill(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    auto *names =
        static_cast<CardListModel *>(control<QListView>(*window, "lstMonstarName")->model());
    auto all = std::make_shared<mdlZorv::RowList>(size_t(mdlZorv::intMonstarCount));
    std::iota(all->begin(), all->end(), 0);
    const auto table = CardSet::ofShownTables()->monsters.table;
    for (auto _ : state) {
        names->setRows(table, all);
        QApplication::processEvents();
    }
}

// A click on a name: the handler finds the card and writes its details into the box.
void BM_ShowMonstarInf(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    auto *list = control<QListView>(*window, "lstMonstarName");
    const QModelIndex entries[2] = {list->model()->index(0, 0), list->model()->index(1, 0)};
    int next = 0;
    for (auto _ : state) {
        list->setCurrentIndex(entries[next]);
        next = 1 - next;
    }
}

// Building the details text alone, for the last card (the longest lookup).
void BM_MonsterDetailsText(benchmark::State &state)
{
    useCards(state);
    const qsizetype last = mdlZorv::intMonstarCount - 1;
    const QString number = mdlZorv::strMonstarData[mdlZorv::CardField::Number][last];
    for (auto _ : state) {
        const auto row = cardDetails::findCard(mdlZorv::strMonstarData, number);
        benchmark::DoNotOptimize(cardDetails::monsterDetails(mdlZorv::strMonstarData, *row));
    }
}

// A window that follows a card file of its own, as the program follows the one it read: a link
// to the benchmark's file, which saves replace by renaming a link to one of two copies over it.
class FollowedFile
{
public:
    explicit FollowedFile(benchmark::State &state) : source_(cardFile(state))
    {
        copies_ = {source_, source_ + QStringLiteral(".copy")};
        if (!QFile::exists(copies_[1]))
            QFile::copy(source_, copies_[1]);
        QFile::remove(path_);
        ::link(QFile::encodeName(source_).constData(), QFile::encodeName(path_).constData());
        session_.load(path_);
        window_ = openWindow();
        window_->followCardFile(&session_);
        waitUntilSettled();
    }
    frmMain &window() { return *window_; }

    // Renames the other copy over the followed file.
    void save()
    {
        const QByteArray tmp = QFile::encodeName(path_ + QStringLiteral(".tmp"));
        const QByteArray copy = QFile::encodeName(copies_[next_ ^= 1]);
        ::unlink(tmp.constData());
        ::link(copy.constData(), tmp.constData());
        std::rename(tmp.constData(), QFile::encodeName(path_).constData());
    }
    void waitUntilReloaded()
    {
        QSignalSpy reloaded(window_.get(), &frmMain::cardFileReloaded);
        reloaded.wait(60'000);
        waitUntilSettled();
    }

private:
    void waitUntilSettled()
    {
        while (session_.isBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    QString source_;
    QString path_ = source_ + QStringLiteral(".followed");
    std::array<QString, 2> copies_;
    int next_ = 0;
    CardFileSession session_;
    std::unique_ptr<frmMain> window_;
};

// The longest the window's event loop goes without turning while a file renamed over the followed
// one is read again and shown, the find bar closed (0), open (1), or open with the card table open
// and sorted by name (2): a timer due every millisecond notes the longest gap between its turns.
// The time is from the rename to the new cards shown, the settle time included.
void BM_ReloadStall(benchmark::State &state)
{
    useCards(state);
    FollowedFile file(state);
    if (state.range(1) >= 1) {
        QTest::keyClick(&file.window(), Qt::Key_F, Qt::ControlModifier);
        control<QLineEdit>(file.window(), "txtFind")->setText(QStringLiteral("かーど"));
        waitUntilFolded(file.window());
    }
    if (state.range(1) == 2) {
        QWidget *table = openCardTable(file.window());
        auto *grid = table->findChild<QTableView *>(QStringLiteral("grdCards"));
        QHeaderView *header = grid->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, 5));
        QTest::qWait(3'000); // the readings and the sort, made on threads of their own
    }
    qint64 longestNs = 0;
    QElapsedTimer sinceLastTurn;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestNs = std::max(longestNs, sinceLastTurn.nsecsElapsed());
        sinceLastTurn.start();
    });
    for (auto _ : state) {
        file.save();
        sinceLastTurn.start();
        probe.start();
        file.waitUntilReloaded();
        probe.stop();
    }
    state.counters["stall_ms"] = double(longestNs) / 1e6;
}

// A keystroke in the find bar: the front list narrowed by the words and refilled. The find
// texts alternate, as typing one more character and taking it back does.
void BM_FindKeystroke(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    if (state.range(1) == 1)
        openCardTable(*window);
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window.get());
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    auto *find = control<QLineEdit>(*window, "txtFind");
    find->setText(QStringLiteral("かーど"));
    waitUntilFolded(*window);
    const QString texts[2] = {QStringLiteral("かーど"), QStringLiteral("かーど 一枚")};
    int next = 0;
    for (auto _ : state) {
        find->setText(texts[next ^= 1]);
        QApplication::processEvents();
    }
    state.counters["listed"] =
        double(control<QListView>(*window, "lstMonstarName")->model()->rowCount());
}

// Opening the card table on every monster, until it is shown and painted.
void BM_OpenCardTable(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    for (auto _ : state) {
        QWidget *table = openCardTable(*window);
        QApplication::processEvents();
        state.PauseTiming();
        table->close(); // and deleted
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// Clicks a header of the card table and waits until the rows show in that order: a long table
// is sorted on a thread of its own, under the busy pointer.
void sortAndWait(QWidget *table, QHeaderView *header, int column)
{
    Q_EMIT header->sectionClicked(column);
    QApplication::processEvents();
    while (table->cursor().shape() == Qt::WaitCursor)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A click on a header of the card table: every monster sorted by 攻撃力 (2) or 名前 (1), until the
// sorted rows are painted. The table opens anew for each click, so that each works out the
// column's order (a table keeps the last one it worked out, which makes a second click cheap).
void BM_CardTableSort(benchmark::State &state)
{
    useCards(state);
    const auto window = openWindow();
    const int column = int(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        QWidget *table = openCardTable(*window);
        QApplication::processEvents();
        QHeaderView *header =
            table->findChild<QTableView *>(QStringLiteral("grdCards"))->horizontalHeader();
        state.ResumeTiming();
        sortAndWait(table, header, column);
        state.PauseTiming();
        sortAndWait(table, header, column); // down,
        sortAndWait(table, header, column); // and back to the list's order, as it is remembered
        table->close();                     // and deleted
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}

// Every monster row sorted by one column of the card table, ascending: 攻撃力 (2), a number read
// once per distinct text, 名前 (1), collated once per distinct name, or 効果 (9), long texts.
void BM_TableSort(benchmark::State &state)
{
    useCards(state);
    const tableColumns::Column &column = tableColumns::monster[size_t(state.range(1))];
    mdlZorv::RowList all(size_t(mdlZorv::intMonstarCount));
    std::iota(all.begin(), all.end(), 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tableSort::sortedRows(mdlZorv::strMonstarData, all, column, Qt::AscendingOrder));
    }
    state.SetLabel(column.header.toString().toStdString());
}

// Every monster row of the card table saved as a CSV file, in a folder of its own.
void BM_TableCsv(benchmark::State &state)
{
    useCards(state);
    mdlZorv::RowList all(size_t(mdlZorv::intMonstarCount));
    std::iota(all.begin(), all.end(), 0);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cards.csv"));
    for (auto _ : state) {
        const QString problem = tableExport::saveCsv(
            path, {cardFile(state)}, mdlZorv::strMonstarData, all, tableColumns::monster);
        if (!problem.isEmpty())
            state.SkipWithError(qPrintable(problem));
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}

// The find index of the monster page and the rows its initial filters give, made once a size.
struct MonsterFind
{
    QString path;
    std::unique_ptr<cardFind::FindIndex> index;
    mdlZorv::RowList rows;
};

const MonsterFind &monsterFind(benchmark::State &state)
{
    static MonsterFind find;
    useCards(state);
    if (find.path != cardFile(state)) {
        find.index =
            std::make_unique<cardFind::FindIndex>(mdlZorv::strMonstarData, cardFind::monsterFields);
        find.rows = cardSearch::searchMonsters(mdlZorv::strMonstarData, {});
        find.path = cardFile(state);
    }
    return find;
}

// Building the folded texts of both pages, as a reload with the find bar open does.
void BM_FindIndexBuild(benchmark::State &state)
{
    useCards(state);
    for (auto _ : state) {
        const cardFind::FindIndex monsters(mdlZorv::strMonstarData, cardFind::monsterFields);
        const cardFind::FindIndex magic(mdlZorv::strMagicData, cardFind::magicFields);
        benchmark::DoNotOptimize(&monsters);
        benchmark::DoNotOptimize(&magic);
    }
}

// The floor of a find: one read of the monster page's folded texts, for a byte none holds.
void BM_FindFloor(benchmark::State &state)
{
    const MonsterFind &find = monsterFind(state);
    const std::vector<char> text(find.index->textBytes(), 'a');
    for (auto _ : state)
        benchmark::DoNotOptimize(std::memchr(text.data(), 'z', text.size()));
    state.counters["bytes"] = double(text.size());
}

// The narrowing alone of the monster page's rows by the words of a find text, the words folded
// beforehand: no window, no list.
void BM_FindNarrow(benchmark::State &state, const QString &findText)
{
    const MonsterFind &find = monsterFind(state);
    const QStringList words = textFold::words(findText);
    size_t found = 0;
    for (auto _ : state)
        found = find.index->narrow(find.rows, words).size();
    state.counters["found"] = double(found);
}

// 20 KB of random characters, kana, kanji, letters and digits, a blank about every sixth.
QString randomPaste()
{
    const QString alphabet =
        u"あいうかきくさしすたちつカキクサシスタチツ火水竜騎士墓地一枚引AbCdE0123    "_qs;
    std::mt19937 random(7);
    QString text;
    for (int i = 0; i < 10'000; ++i)
        text += alphabet[qsizetype(random() % quint32(alphabet.size()))];
    return text;
}

// Typing a word and a second one character by character, each keystroke narrowing the last
// result.
void BM_FindTyping(benchmark::State &state)
{
    const MonsterFind &find = monsterFind(state);
    std::vector<QStringList> keystrokes;
    for (const QStringView text :
         {u"か", u"かー", u"かーど", u"かーど ", u"かーど 騎", u"かーど 騎士"})
        keystrokes.push_back(textFold::words(text));
    cardFind::Narrowing narrowing(*find.index);
    for (auto _ : state) {
        narrowing.reset();
        for (const QStringList &words : keystrokes)
            benchmark::DoNotOptimize(narrowing.narrow(find.rows, words));
    }
    state.counters["keystrokes"] = double(keystrokes.size());
}

// The dictionary of readings beside the benchmark program, loaded once.
const nameReadings::Dictionary &readingDictionary()
{
    static const nameReadings::LoadedDictionary loaded = nameReadings::loadDictionary();
    if (!loaded.dictionary) {
        std::fprintf(stderr, "%s\n", qPrintable(loaded.problem));
        std::exit(1);
    }
    return *loaded.dictionary;
}

// Loading the dictionary of readings, as the first find word or sort by reading does.
void BM_DictionaryLoad(benchmark::State &state)
{
    size_t bytes = 0;
    for (auto _ : state) {
        const nameReadings::LoadedDictionary loaded = nameReadings::loadDictionary();
        if (!loaded.dictionary)
            return state.SkipWithError(qPrintable(loaded.problem));
        bytes = loaded.dictionary->byteSize();
    }
    state.counters["file_MB"] =
        double(QFileInfo(nameReadings::defaultDictionaryPath()).size()) / 1e6;
    state.counters["memory_MB"] = double(bytes) / 1e6;
}

// The find index and the reading index of the monster page, and the rows its initial filters
// give, made once a card file: realistic names (second argument 0) or kanji names (1).
struct MonsterReadings
{
    QString path;
    std::unique_ptr<cardFind::FindIndex> index;
    std::unique_ptr<cardFind::ReadingIndex> readings;
    mdlZorv::RowList rows;
};

const MonsterReadings &monsterReadings(benchmark::State &state)
{
    static MonsterReadings find;
    const bool kanji = state.range(1) == 1;
    useCards(state, kanji);
    if (find.path != cardFile(state, kanji)) {
        find.readings.reset();
        find.index =
            std::make_unique<cardFind::FindIndex>(mdlZorv::strMonstarData, cardFind::monsterFields);
        find.readings = std::make_unique<cardFind::ReadingIndex>(
            mdlZorv::strMonstarData, mdlZorv::CardField::Name, readingDictionary());
        find.rows = cardSearch::searchMonsters(mdlZorv::strMonstarData, {});
        find.path = cardFile(state, kanji);
    }
    return find;
}

// Building the reading indexes of both pages, off the window's thread as the find index is; its
// floor is a load of the same card file (BM_Load).
void BM_ReadingIndexBuild(benchmark::State &state)
{
    useCards(state, state.range(1) == 1);
    const nameReadings::Dictionary &dictionary = readingDictionary();
    size_t bytes = 0;
    for (auto _ : state) {
        const cardFind::ReadingIndex monsters(mdlZorv::strMonstarData, mdlZorv::CardField::Name,
                                              dictionary);
        const cardFind::ReadingIndex magic(mdlZorv::strMagicData, mdlZorv::MagicField::Name,
                                           dictionary);
        bytes = monsters.byteSize() + magic.byteSize();
    }
    state.counters["bytes_per_card"] = double(bytes) / double(mdlZorv::intCardCount);
}

// The narrowing alone of the monster page's rows by a find text with the reading index: each word
// found in the texts or by reading.
void BM_FindNarrowReadings(benchmark::State &state, const QString &findText)
{
    const MonsterReadings &find = monsterReadings(state);
    const QStringList words = textFold::words(findText);
    size_t found = 0;
    for (auto _ : state) {
        cardFind::Narrowing narrowing(*find.index, find.readings.get());
        found = narrowing.narrow(find.rows, words).size();
    }
    state.counters["found"] = double(found);
}

// A keystroke in the find bar with readings, as the window will make it: the monster list narrowed
// by the words, now with the reading index, and refilled, laid out and painted. The find texts
// alternate, as typing one more character and taking it back does.
void BM_FindKeystrokeReadings(benchmark::State &state)
{
    const MonsterReadings &find = monsterReadings(state);
    const auto window = openWindow();
    auto *names =
        static_cast<CardListModel *>(control<QListView>(*window, "lstMonstarName")->model());
    const QStringList texts[2] = {textFold::words(u"かーど"), textFold::words(u"かーど 一枚")};
    cardFind::Narrowing narrowing(*find.index, find.readings.get());
    const auto table = CardSet::ofShownTables()->monsters.table;
    const auto all = std::make_shared<const mdlZorv::RowList>(find.rows);
    int next = 0;
    size_t listed = 0;
    for (auto _ : state) {
        auto rows = narrowing.narrow(all, texts[next ^= 1]);
        listed = rows->size();
        names->setRows(table, rows);
        QApplication::processEvents();
    }
    state.counters["listed"] = double(listed);
}

// Typing a word in kana and in romaji, keystroke by keystroke, each narrowing the last result.
void BM_FindTypingReadings(benchmark::State &state)
{
    const MonsterReadings &find = monsterReadings(state);
    std::vector<QStringList> keystrokes;
    for (const QStringView text :
         {u"り", u"りゅ", u"りゅう", u"りゅうき", u"りゅうきし", u"r", u"ry", u"ryu", u"ryuk",
          u"ryuki", u"ryukis", u"ryukish", u"ryukishi"})
        keystrokes.push_back(textFold::words(text));
    for (auto _ : state) {
        cardFind::Narrowing narrowing(*find.index, find.readings.get());
        for (const QStringList &words : keystrokes)
            benchmark::DoNotOptimize(narrowing.narrow(find.rows, words));
    }
    state.counters["keystrokes"] = double(keystrokes.size());
}

// How far a reading match floods: the rows a word of three kana or more finds by reading, against
// those whose reading shown holds it as typed (hiragana and katakana alike), and those with any
// reading that does: what the key forgives beyond them. Its counters are the figures.
void BM_ReadingFlood(benchmark::State &state, const QString &word)
{
    const MonsterReadings &find = monsterReadings(state);
    const std::string key = nameReadings::findKey(textFold::fold(word));
    size_t byKey = 0;
    for (auto _ : state)
        byKey = find.readings->narrow(find.rows, key).size();
    const QString typed = textFold::fold(word);
    nameReadings::Reader reader(readingDictionary());
    size_t shown = 0;
    size_t any = 0;
    for (const quint32 row : find.rows) {
        shown += textFold::fold(find.readings->reading(row)).contains(typed) ? 1 : 0;
        const auto &readings =
            reader.readingCodes(mdlZorv::strMonstarData.view(mdlZorv::CardField::Name, row));
        any += std::any_of(readings.begin(), readings.end(), [&](std::string_view reading) {
            return textFold::fold(nameReadings::readingText(reading)).contains(typed);
        });
    }
    state.counters["by_reading"] = double(byKey);
    state.counters["shown_holds"] = double(shown);
    state.counters["any_holds"] = double(any);
    state.counters["times_shown"] = shown == 0 ? 0.0 : double(byKey) / double(shown);
    state.counters["times_any"] = any == 0 ? 0.0 : double(byKey) / double(any);
}

// Every monster row in 五十音 order by its reading.
void BM_SortByReading(benchmark::State &state)
{
    const MonsterReadings &find = monsterReadings(state);
    mdlZorv::RowList all(size_t(mdlZorv::intMonstarCount));
    std::iota(all.begin(), all.end(), 0);
    for (auto _ : state) {
        const tableSort::ColumnOrder order(
            mdlZorv::intMonstarCount, [&](qsizetype row) { return find.readings->reading(row); });
        benchmark::DoNotOptimize(order.sorted(all, Qt::AscendingOrder));
    }
}

void sizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const long long size : {100'000LL, 1'000'000LL})
        benchmark->Arg(size);
}

// The sizes where finding has something to show.
void largeSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
    for (const long long size : {100'000LL, 1'000'000LL})
        benchmark->Arg(size);
}

BENCHMARK(BM_DecodeOnly)->Apply(sizes);
BENCHMARK(BM_Load)->Apply(sizes);
BENCHMARK(BM_FormInit)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SearchMonstar, initial, setNoFilters)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SearchMonstar, type, setType)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SearchMonstar, atMost, setAtMost)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SearchMonstar, duelists, setDuelists)->Apply(sizes);
BENCHMARK_CAPTURE(BM_SearchMonstar, everything, setEverything)->Apply(sizes);
BENCHMARK(BM_SearchMagic)->Apply(sizes);
BENCHMARK(BM_ListRefill)->Apply(sizes);
BENCHMARK(BM_ReloadStall)
    ->ArgsProduct({{100'000, 1'000'000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_FindKeystroke)
    ->ArgsProduct({{100'000, 1'000'000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FindFloor)->Apply(largeSizes);
BENCHMARK(BM_FindIndexBuild)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, common, u"かーど"_qs)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, rare, u"狼騎士"_qs)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, threeWords, u"墓地 騎士 かーど"_qs)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, pasteV, u"V "_qs.repeated(10'000))->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, kana2, u"かじ"_qs)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, threeWordsKana, u"墓地 きし かーど"_qs)->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, pasteNo, u"の "_qs.repeated(1'000))->Apply(largeSizes);
BENCHMARK_CAPTURE(BM_FindNarrow, pasteRandom, randomPaste())->Apply(largeSizes);
BENCHMARK(BM_FindTyping)->Apply(largeSizes);
// Readings: realistic names (0) and names of kanji above all (1).
void readingSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark->ArgsProduct({{100'000, 1'000'000}, {0, 1}});
}
BENCHMARK(BM_DictionaryLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadingIndexBuild)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, kana2, u"かじ"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, kana5, u"りゅうきし"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, romaji, u"ryukishi"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, common, u"かーど"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, threeWords, u"墓地 きし かーど"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, pasteNo, u"の "_qs.repeated(1'000))->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_FindNarrowReadings, pasteRandom, randomPaste())->Apply(readingSizes);
BENCHMARK(BM_FindKeystrokeReadings)->Apply(readingSizes);
BENCHMARK(BM_FindTypingReadings)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_ReadingFlood, shugosha, u"しゅごしゃ"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_ReadingFlood, karyuu, u"かりゅう"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_ReadingFlood, ookami, u"おおかみ"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_ReadingFlood, kishino, u"きしの"_qs)->Apply(readingSizes);
BENCHMARK_CAPTURE(BM_ReadingFlood, seirei, u"せいれい"_qs)->Apply(readingSizes);
BENCHMARK(BM_SortByReading)->Apply(readingSizes);
BENCHMARK(BM_OpenCardTable)->Apply(sizes);
BENCHMARK(BM_CardTableSort)
    ->ArgsProduct({{100'000, 1'000'000}, {2, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ShowMonstarInf)->Apply(sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonsterDetailsText)->Apply(sizes)->Unit(benchmark::kMicrosecond);
// The CPU column of BM_TableSort counts both threads of a long text sort.
BENCHMARK(BM_TableSort)
    ->ArgsProduct({{100'000, 1'000'000}, {2, 1}})
    ->Args({100'000, 9})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_TableCsv)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The card table opens as it does the first time, whatever an earlier run left it.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
