// Reading the card file again while the window is open: when it changes on disk, or on F5. The
// file is read in the background; the window only swaps in the finished tables.

#include "card_data/mdlZorv.h"
#include "card_rules/cardFind.h"
#include "search_window/backgroundJob.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardReload.h"
#include "search_window/findBar.h"
#include "search_window/frmMain.h"
#include "search_window/searchPage.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>
#include <utility>

namespace {

QString encodingName(mdlZorv::CardFileFormat::Encoding encoding)
{
    using Encoding = mdlZorv::CardFileFormat::Encoding;
    switch (encoding) {
    case Encoding::ShiftJis:
        return QStringLiteral("Shift-JIS");
    case Encoding::Utf8:
        return QStringLiteral("UTF-8");
    case Encoding::Utf8WithMark:
        return QStringLiteral("UTF-8 (BOM 付き)");
    }
    return {};
}

QString lineEndsName(mdlZorv::CardFileFormat::LineEnds lineEnds)
{
    using LineEnds = mdlZorv::CardFileFormat::LineEnds;
    switch (lineEnds) {
    case LineEnds::CrLf:
        return QStringLiteral("CR LF");
    case LineEnds::Cr:
        return QStringLiteral("CR");
    case LineEnds::Lf:
        return QStringLiteral("LF");
    }
    return {};
}

// The local file a drag or drop brings, if it brings exactly one.
QString droppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

// The value of a filter list's entry, or none for entry 0.
QVariant filterChoice(const QComboBox *list)
{
    return list->currentIndex() > 0 ? list->currentData() : QVariant();
}

void restoreFilterChoice(QComboBox *list, const QVariant &choice)
{
    list->setCurrentIndex(choice.isValid() ? std::max(list->findData(choice), 0) : 0);
}

} // namespace

void frmMain::followCardFile(CardFileWatcher *watcher, const mdlZorv::LoadOutcome &firstRead)
{
    cardFile_ = watcher;
    cardFile_->setParent(this);
    reload_ = std::make_unique<BackgroundJob>();
    shownRead_ = firstRead;
    connect(cardFile_, &CardFileWatcher::changed, this, &frmMain::startReload);
    connect(reload_.get(), &BackgroundJob::done, this, &frmMain::finishReload);
    connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this,
            &frmMain::ReloadCardFile);
    cardFile_->readFrom(firstRead.read); // a file changed while or since it was read is read again
}

void frmMain::ReloadCardFile()
{
    if (cardFile_)
        cardFile_->readWhenSettled();
}

void frmMain::openCardFile(const QString &path)
{
    if (!cardFile_)
        return;
    fileToOpen_ = path;
    startReload();
}

// One read at a time: a file to open waits for the read under way, and a change during a read is
// not lost, since the file is looked at again once the read is done.
void frmMain::startReload()
{
    if (reload_->isRunning())
        return;
    const QString path = fileToOpen_.isEmpty() ? cardFile_->path() : std::exchange(fileToOpen_, {});
    reload_->start([this, path, fold = findBar->isVisible()] {
        reloaded_ = std::make_unique<cardReload::ReloadedCards>(cardReload::read(path, fold));
    });
}

// A file that changed while it was read is read again once it has settled, without a word: it
// was being saved. A file that cannot be read leaves the cards on screen, and another file that
// cannot be opened leaves the followed one followed.
void frmMain::finishReload()
{
    cardReload::ReloadedCards &reloaded = *reloaded_;
    const mdlZorv::LoadOutcome &outcome = reloaded.cards.outcome;
    const bool failed = !outcome.problem.isEmpty() && !outcome.changedWhileRead;
    if (reloaded.path != cardFile_->path() && !failed)
        cardFile_->watch(reloaded.path);
    if (reloaded.path == cardFile_->path())
        cardFile_->readFrom(outcome.read);
    if (failed)
        Q_EMIT cardFileProblem(outcome.problem);
    else if (!outcome.changedWhileRead)
        showNewCards(reloaded);
    reloaded_.reset();
    if (!fileToOpen_.isEmpty())
        startReload();
}

void frmMain::showNewCards(cardReload::ReloadedCards &reloaded)
{
    const auto monster = monsters_->selectedCardNumber();
    const auto magic = magic_->selectedCardNumber();
    const mdlZorv::LoadOutcome outcome = mdlZorv::showCards(std::move(reloaded.cards));
    ++cardsShown_;
    foldingFailed_ = false;
    monsters_->useNewCards(std::move(reloaded.folded.monsters));
    magic_->useNewCards(std::move(reloaded.folded.magic));
    refillFilterListsKeepingChoices();
    SearchMonstar();
    SearchMagic();
    monsters_->reselectCard(monster);
    magic_->reselectCard(magic);
    shownRead_ = outcome;
    Q_EMIT cardFileReloaded();
    tellLoadOutcome(outcome);
}

void frmMain::tellLoadOutcome(const mdlZorv::LoadOutcome &outcome)
{
    if (!outcome.problem.isEmpty())
        Q_EMIT cardFileProblem(outcome.problem);
    else if (!outcome.notice.isEmpty())
        Q_EMIT cardFileNotice(outcome.notice);
}

// One box at a time, and not modal: a newer message replaces the text of the open box, and the
// window stays usable meanwhile. A good read closes it.
void frmMain::showMessage(bool isProblem, const QString &text)
{
    if (!message_) {
        message_ = new QMessageBox(this);
        message_->setObjectName(QStringLiteral("msgCardFile"));
        message_->setWindowTitle(windowTitle());
        message_->setAttribute(Qt::WA_DeleteOnClose);
        message_->setWindowModality(Qt::NonModal);
    }
    message_->setIcon(isProblem ? QMessageBox::Warning : QMessageBox::Information);
    message_->setText(
        isProblem ? QStringLiteral("カードデータを読み込めませんでした。\n\n%1").arg(text) : text);
    message_->show();
}

// The filter lists hold the new cards' values; each keeps its entry where the value still exists.
void frmMain::refillFilterListsKeepingChoices()
{
    const QSignalBlocker blockType(cmbType), blockMazoku(cmbMazoku), blockLevel(cmbLevel),
        blockMagic(cmbMagic);
    const QVariant type = filterChoice(cmbType), mazoku = filterChoice(cmbMazoku),
                   level = filterChoice(cmbLevel), kind = filterChoice(cmbMagic);
    for (QComboBox *list : {cmbType, cmbMazoku, cmbLevel, cmbMagic})
        list->clear();
    fillMonsterFilterLists();
    fillMagicFilterList();
    restoreFilterChoice(cmbType, type);
    restoreFilterChoice(cmbMazoku, mazoku);
    restoreFilterChoice(cmbLevel, level);
    restoreFilterChoice(cmbMagic, kind);
}

// Ctrl+L, Ctrl+O and F1 work from anywhere in the window, and all stand in its context menu, which
// the name lists show too; F6 takes the keyboard to the details box and back.
void frmMain::addWindowActions()
{
    const auto addWindowAction = [this](const QString &text, QKeySequence::StandardKey key,
                                        void (frmMain::*slot)()) {
        auto *action = new QAction(text, this);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    addWindowAction(QStringLiteral("カードデータを開く…"), QKeySequence::Open,
                    &frmMain::chooseCardFile);
    addWindowAction(QStringLiteral("カードデータの情報"), QKeySequence::HelpContents,
                    &frmMain::showCardFileInfo);
    auto *table = new QAction(QStringLiteral("一覧表"), this);
    table->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(table, &QAction::triggered, this, &frmMain::openCardTable);
    insertAction(actions().value(0), table);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(new QShortcut(QKeySequence(Qt::Key_F6), this), &QShortcut::activated, this,
            &frmMain::toggleDetailsFocus);
    setAcceptDrops(true);
}

void frmMain::chooseCardFile()
{
    const QString folder = cardFile_ ? QFileInfo(cardFile_->path()).absolutePath() : QString();
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("カードデータを開く"), folder,
        QStringLiteral("カードデータ (*.dat *.csv *.txt);;すべてのファイル (*)"));
    if (!path.isEmpty())
        openCardFile(path);
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    if (const QString path = droppedFile(event->mimeData()); !path.isEmpty()) {
        event->acceptProposedAction();
        openCardFile(path);
    }
}

// The program, and the card file whose cards are on screen: where it is, how it is written, its
// cards and the lines that did not decode.
void frmMain::showCardFileInfo()
{
    const QString undecoded = shownRead_.notice.isEmpty() ? QStringLiteral("なし")
                                                          : shownRead_.notice.section(u'\n', 0, 0);
    const QString text =
        QStringLiteral("%1 %2\n\nカードデータ: %3\n文字コード: %4\n改行: %5\nモンスター: %L6 "
                       "枚\n魔法、罠、儀式: %L7 枚\n読み取れない文字: %8")
            .arg(windowTitle(), QCoreApplication::applicationVersion(),
                 cardFile_ ? QDir::toNativeSeparators(cardFile_->path()) : QString(),
                 encodingName(shownRead_.format.encoding), lineEndsName(shownRead_.format.lineEnds))
            .arg(mdlZorv::intMonstarCount)
            .arg(mdlZorv::intMagicCount)
            .arg(undecoded);
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("カードデータの情報"),
                                text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("msgCardFileInfo"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
