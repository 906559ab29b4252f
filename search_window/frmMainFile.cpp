// The card file as the user handles it from the window: opening another (Ctrl+O, or a file
// dropped on the window), and the information box on the file the cards come from (F1); with
// Ctrl+L for the card table, these stand in the window's context menu.

#include "card_data/mdlZorv.h"
#include "search_window/cardFileSession.h"
#include "search_window/cardTableFollower.h"
#include "search_window/frmMain.h"
#include "search_window/passingNote.h"
#include "search_window/recentCardFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>

namespace {

// The local file a drag or drop brings, if it brings exactly one.
QString droppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

// An action of the window's context menu, which the pages and their name lists show too; its key
// works from anywhere in the window.
template <typename Receiver>
QAction *addWindowAction(QWidget *window, const QString &text, const QKeySequence &key,
                         Receiver *receiver, void (Receiver::*slot)())
{
    auto *action = new QAction(text, window);
    action->setShortcut(key);
    QObject::connect(action, &QAction::triggered, receiver, slot);
    window->addAction(action);
    return action;
}

void addSeparator(QWidget *window)
{
    auto *separator = new QAction(window);
    separator->setSeparator(true);
    window->addAction(separator);
}

} // namespace

void frmMain::addWindowActions()
{
    addWindowAction(this, QStringLiteral("一覧表"), QKeySequence(Qt::CTRL | Qt::Key_L), cardTable_,
                    &CardTableFollower::open);
    addWindowAction(this, QStringLiteral("条件をクリア"),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), this,
                    &frmMain::clearPageFilters);
    addSeparator(this);
    addWindowAction(this, QStringLiteral("カードデータを開く…"), QKeySequence::Open, this,
                    &frmMain::chooseCardFile);
    addRecentFilesMenu();
    addWindowAction(this, QStringLiteral("カードデータの情報"), QKeySequence::HelpContents, this,
                    &frmMain::showCardFileInfo);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(new QShortcut(QKeySequence(Qt::Key_F6), this), &QShortcut::activated, this,
            &frmMain::cycleFocusWithF6);
    setAcceptDrops(true);
}

// The card files opened last, each with its folder, listed afresh whenever the menu opens.
void frmMain::addRecentFilesMenu()
{
    auto *recent = new QMenu(QStringLiteral("最近使ったファイル"), this);
    recent->setObjectName(QStringLiteral("mnuRecentFiles"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { listRecentFiles(recent); });
    addAction(recent->menuAction());
}

void frmMain::listRecentFiles(QMenu *menu)
{
    menu->clear();
    for (const QString &file : recentCardFiles::read()) {
        QString text = recentCardFiles::menuText(file);
        menu->addAction(text.replace(u'&', QStringLiteral("&&")), this,
                        [this, file] { openRecentFile(file); });
    }
    if (menu->isEmpty())
        menu->addAction(QStringLiteral("(なし)"))->setEnabled(false);
}

// A file that is no longer there says so, and goes from the list.
void frmMain::openRecentFile(const QString &file)
{
    if (!QFileInfo(file).isFile()) {
        recentCardFiles::forget(file);
        note_->pass(QStringLiteral("見つかりません: %1").arg(QDir::toNativeSeparators(file)));
        return;
    }
    if (cardFile_)
        cardFile_->open(file);
}

// Only the page in front, and one search.
void frmMain::clearPageFilters()
{
    if (&frontPage() == monsterPage_.get()) {
        pageControls::clearFilters(monster_);
        SearchMonstar();
    } else {
        pageControls::clearFilters(magic_);
        SearchMagic();
    }
}

void frmMain::chooseCardFile()
{
    const QString folder = cardFile_ ? QFileInfo(cardFile_->path()).absolutePath() : QString();
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("カードデータを開く"), folder,
        QStringLiteral("カードデータ (*.dat *.csv *.txt);;すべてのファイル (*)"));
    if (!path.isEmpty() && cardFile_)
        cardFile_->open(path);
}

void frmMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent *event)
{
    if (const QString path = droppedFile(event->mimeData()); !path.isEmpty() && cardFile_) {
        event->acceptProposedAction();
        cardFile_->open(path);
    }
}

// The program, and the card file whose cards are on screen: where it is, how it is written, its
// cards and the lines that did not decode.
void frmMain::showCardFileInfo()
{
    const mdlZorv::LoadOutcome shownRead =
        cardFile_ ? cardFile_->lastRead() : mdlZorv::LoadOutcome();
    const QString text =
        QStringLiteral("%1 %2\n\nカードデータ: %3\n文字コード: %4\n改行: %5\nモンスター: %L6 "
                       "枚\n魔法、罠、儀式: %L7 枚\n読み取れない文字: %8\n%9")
            .arg(windowTitle(), QCoreApplication::applicationVersion(),
                 cardFile_ ? QDir::toNativeSeparators(cardFile_->path()) : QString(),
                 mdlZorv::displayName(shownRead.format.encoding),
                 mdlZorv::displayName(shownRead.format.lineEnds))
            .arg(mdlZorv::intMonstarCount)
            .arg(mdlZorv::intMagicCount)
            .arg(mdlZorv::linesText(shownRead.undecodedLines, shownRead.firstUndecodedLine),
                 mdlZorv::shortLinesText(shownRead));
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("カードデータの情報"),
                                text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("msgCardFileInfo"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
