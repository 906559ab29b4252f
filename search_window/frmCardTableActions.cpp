// The card table's keys and menus: copying, saving, wrapping, sorting, and back to the main window.

#include "card_rules/tableExport.h"
#include "search_window/cardGrid.h"
#include "search_window/cardTableModel.h"
#include "search_window/frmCardTable.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QShortcut>

namespace {

// Pasted HTML costs a spreadsheet, and memory here, several times the text: a selection longer
// than this goes to the clipboard as text alone.
constexpr size_t mostHtmlRows = 50'000;

} // namespace

// Escape closes the window, Ctrl+L goes to the main window; copying, saving and wrapping stand in
// the table's context menu with the sorts.
void frmCardTable::addActions()
{
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this,
            &frmCardTable::switchToMainWindow);
    addTableAction(QStringLiteral("コピー"), QKeySequence::Copy, &frmCardTable::copyRows)
        ->setObjectName(QStringLiteral("actCopy"));
    addTableAction(QStringLiteral("選択行をCSVで保存…"),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &frmCardTable::saveSelectedCsv)
        ->setObjectName(QStringLiteral("actSaveSelected"));
    addTableAction(QStringLiteral("CSVで保存…"), QKeySequence::Save, &frmCardTable::saveCsv)
        ->setObjectName(QStringLiteral("actSaveAll"));
    wrapAction_ = new QAction(QStringLiteral("効果を折り返して表示"), grdCards);
    wrapAction_->setObjectName(QStringLiteral("actWrap"));
    wrapAction_->setCheckable(true);
    wrapAction_->setChecked(grdCards->wrapping());
    wrapAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    wrapAction_->setShortcutContext(Qt::WindowShortcut);
    connect(wrapAction_, &QAction::toggled, this, &frmCardTable::setWrapping);
    grdCards->addAction(wrapAction_);
    tableActions_.push_back(wrapAction_);
    grdCards->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdCards, &QWidget::customContextMenuRequested, this, &frmCardTable::showTableMenu);
    addSortKeys();
}

QAction *frmCardTable::addTableAction(const QString &text, const QKeySequence &key,
                                      void (frmCardTable::*slot)())
{
    auto *action = new QAction(text, grdCards);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, slot);
    grdCards->addAction(action);
    tableActions_.push_back(action);
    return action;
}

// Ctrl+1 to Ctrl+9 sort by the first nine columns, Ctrl+0 by the tenth, as a header click does.
void frmCardTable::addSortKeys()
{
    for (int column = 0; column < 10; ++column) {
        const Qt::Key digit = column < 9 ? Qt::Key(Qt::Key_1 + column) : Qt::Key_0;
        auto *key = new QShortcut(QKeySequence(Qt::CTRL | digit), this);
        connect(key, &QShortcut::activated, this, [this, column] {
            if (column < rows_->columnCount())
                headerClicked(column);
        });
    }
}

// Every sort, the one chosen checked, and the list's order: one choice of them all.
void frmCardTable::addSortActions(QMenu *menu)
{
    auto *choice = new QActionGroup(menu);
    for (int column = 0; column < rows_->columnCount(); ++column) {
        const tableColumns::Column &shown = rows_->columns()[size_t(column)];
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder})
            addSortAction(menu, choice, tableColumns::sortName(shown, order), {column, order});
    }
    menu->addSeparator();
    addSortAction(menu, choice, QStringLiteral("一覧の順に戻す"), {});
}

void frmCardTable::addSortAction(QMenu *menu, QActionGroup *choice, const QString &text,
                                 SortChoice sort)
{
    QAction *action =
        menu->addAction(text, this, [this, sort] { sortBy(sort.column, sort.order); });
    action->setCheckable(true);
    action->setActionGroup(choice);
    action->setChecked(sort_.column == sort.column &&
                       (sort.column < 0 || sort_.order == sort.order));
}

void frmCardTable::showTableMenu(const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuTable"));
    for (QAction *action : tableActions_)
        menu.addAction(action);
    menu.addSeparator();
    QMenu *sorts = menu.addMenu(QStringLiteral("並べ替え"));
    sorts->setObjectName(QStringLiteral("mnuTableSort"));
    addSortActions(sorts);
    menu.exec(grdCards->viewport()->mapToGlobal(at));
}

// The sorts, as a menu for the keyboard and for screen readers.
void frmCardTable::showHeaderMenu(const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuHeader"));
    addSortActions(&menu);
    menu.exec(grdCards->horizontalHeader()->mapToGlobal(at));
}

// The rows as tab-separated text and, for spreadsheets, as HTML cells that keep "049" as text
// and attack as a number, without asking how to read the text.
void frmCardTable::copyRows()
{
    const mdlZorv::RowList rows = selectedRows();
    auto mime = std::make_unique<QMimeData>();
    mime->setText(tableExport::clipboardText(rows_->cells(), rows, rows_->columns()));
    if (rows.size() <= mostHtmlRows)
        mime->setHtml(tableExport::clipboardHtml(rows_->cells(), rows, rows_->columns()));
    QApplication::clipboard()->setMimeData(mime.release()); // the clipboard takes it
}

void frmCardTable::saveCsv()
{
    saveRows(rows_->shownRows(), pageName_);
}

void frmCardTable::saveSelectedCsv()
{
    const mdlZorv::RowList rows = selectedRows();
    if (rows.empty()) {
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("保存する行を選んでください。"));
        return;
    }
    saveRows(rows, QStringLiteral("%1 (選択)").arg(pageName_));
}

void frmCardTable::saveRows(const mdlZorv::RowList &rows, const QString &name)
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSVで保存"),
                                                      QStringLiteral("%1.csv").arg(name),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QStringList filesInUse = filesInUse_ ? filesInUse_() : QStringList();
    const QString problem =
        tableExport::saveCsv(path, filesInUse, rows_->cells(), rows, rows_->columns());
    if (!problem.isEmpty())
        QMessageBox::warning(this, windowTitle(), problem);
}

void frmCardTable::setWrapping(bool wrap)
{
    grdCards->setWrapping(wrap);
    wrapAction_->setChecked(wrap);
}

void frmCardTable::switchToMainWindow()
{
    QWidget *mainWindow = parentWidget();
    mainWindow->raise();
    mainWindow->activateWindow();
}
