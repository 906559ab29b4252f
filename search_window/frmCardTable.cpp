#include "search_window/frmCardTable.h"

#include "card_rules/tableExport.h"
#include "search_window/busyPointer.h"
#include "search_window/cardTableModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

namespace {

// A table whose type-ahead finds cards by their number, whichever column is current.
class CardGrid final : public QTableView
{
public:
    using QTableView::QTableView;

    void keyboardSearch(const QString &search) override
    {
        const QModelIndex current = currentIndex();
        if (current.column() != 0 && model()->rowCount() > 0)
            selectionModel()->setCurrentIndex(model()->index(std::max(current.row(), 0), 0),
                                              QItemSelectionModel::NoUpdate);
        QTableView::keyboardSearch(search);
    }
};

} // namespace

frmCardTable::frmCardTable(QWidget *mainWindow) : QWidget(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("frmCardTable"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 480);
    grdCards = new CardGrid(this);
    grdCards->setObjectName(QStringLiteral("grdCards"));
    grdCards->setAccessibleName(QStringLiteral("カード一覧"));
    rows_ = new CardTableModel(this);
    grdCards->setModel(rows_);
    grdCards->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCards->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdCards->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCards->setWordWrap(false);
    grdCards->setTextElideMode(Qt::ElideRight);
    grdCards->verticalHeader()->hide();
    grdCards->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdCards->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grdCards->horizontalHeader()->setSectionsClickable(true);
    grdCards->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdCards);

    connect(grdCards->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &frmCardTable::headerClicked);
    connect(grdCards->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            &frmCardTable::showHeaderMenu);
    // A row the user selects, not the first one the table makes current when it takes the focus.
    connect(grdCards->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndex current = grdCards->currentIndex();
        if (current.isValid() && grdCards->selectionModel()->isRowSelected(current.row()))
            Q_EMIT cardChosen(rows_->tableRow(current.row()));
    });
    addActions();
}

// Escape closes the window; Ctrl+C copies, Ctrl+S saves, both also in the table's context menu.
void frmCardTable::addActions()
{
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    const auto addTableAction = [this](const QString &text, QKeySequence::StandardKey key,
                                       void (frmCardTable::*slot)()) {
        auto *action = new QAction(text, grdCards);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        grdCards->addAction(action);
    };
    addTableAction(QStringLiteral("コピー"), QKeySequence::Copy, &frmCardTable::copyRows);
    addTableAction(QStringLiteral("CSVで保存…"), QKeySequence::Save, &frmCardTable::saveCsv);
    grdCards->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (int column = 0; column < 9; ++column) {
        auto *key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + column)), this);
        connect(key, &QShortcut::activated, this, [this, column] {
            if (column < rows_->columnCount())
                headerClicked(column);
        });
    }
}

void frmCardTable::showRows(const QString &pageName,
                            std::shared_ptr<const mdlZorv::CardTable> table,
                            tableColumns::Columns columns, mdlZorv::RowList listed)
{
    const bool otherColumns = columns.data() != rows_->columns().data();
    pageName_ = pageName;
    {
        const BusyPointer busy(this);
        rows_->setRows(std::move(table), columns, std::move(listed));
    }
    if (otherColumns)
        sizeColumns();
    grdCards->horizontalHeader()->setSortIndicatorShown(rows_->sortColumn() >= 0);
    showTitle();
}

// Columns as wide as their usual texts, the effect text widest; the user may widen any.
void frmCardTable::sizeColumns()
{
    const int character = fontMetrics().horizontalAdvance(u'あ');
    for (int column = 0; column < rows_->columnCount(); ++column) {
        const QStringView header = rows_->columns()[size_t(column)].header;
        const int characters = header == u"名前"   ? 12
                               : header == u"効果" ? 30
                               : header == u"ID"   ? 6
                                                   : 4;
        grdCards->horizontalHeader()->resizeSection(column, characters * character + 12);
    }
}

// The list's order, then up, then down, then the list's order again.
void frmCardTable::headerClicked(int column)
{
    if (rows_->sortColumn() != column)
        sortBy(column, Qt::AscendingOrder);
    else if (rows_->sortOrder() == Qt::AscendingOrder)
        sortBy(column, Qt::DescendingOrder);
    else
        sortBy(-1, Qt::AscendingOrder);
}

void frmCardTable::sortBy(int column, Qt::SortOrder order)
{
    const QModelIndex index = grdCards->currentIndex();
    const qsizetype current =
        index.isValid() && grdCards->selectionModel()->isRowSelected(index.row())
            ? rows_->tableRow(index.row())
            : -1;
    {
        const BusyPointer busy(this);
        rows_->sortBy(column, order);
    }
    QHeaderView *header = grdCards->horizontalHeader();
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, order);
    const auto &shown = rows_->shownRows();
    if (const auto found = std::find(shown.begin(), shown.end(), current); found != shown.end()) {
        const QModelIndex index = rows_->index(int(found - shown.begin()), 0);
        grdCards->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
        grdCards->scrollTo(index);
    }
}

// The sorts, as a menu for the keyboard and for screen readers.
void frmCardTable::showHeaderMenu(const QPoint &at)
{
    QMenu menu(this);
    for (int column = 0; column < rows_->columnCount(); ++column) {
        const QString header = rows_->columns()[size_t(column)].header.toString();
        menu.addAction(QStringLiteral("%1 の小さい順").arg(header), this,
                       [this, column] { sortBy(column, Qt::AscendingOrder); });
        menu.addAction(QStringLiteral("%1 の大きい順").arg(header), this,
                       [this, column] { sortBy(column, Qt::DescendingOrder); });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("一覧の順に戻す"), this,
                   [this] { sortBy(-1, Qt::AscendingOrder); });
    menu.exec(grdCards->horizontalHeader()->mapToGlobal(at));
}

void frmCardTable::copyRows()
{
    std::set<int> selected;
    for (const QModelIndex &index : grdCards->selectionModel()->selectedRows())
        selected.insert(index.row());
    mdlZorv::RowList rows;
    rows.reserve(selected.size());
    for (const int row : selected)
        rows.push_back(rows_->tableRow(row));
    QApplication::clipboard()->setText(
        tableExport::clipboardText(rows_->table(), rows, rows_->columns()));
}

void frmCardTable::saveCsv()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("CSVで保存"),
                                                      QStringLiteral("%1.csv").arg(pageName_),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QString problem =
        tableExport::saveCsv(path, cardFile_, rows_->table(), rows_->shownRows(), rows_->columns());
    if (!problem.isEmpty())
        QMessageBox::warning(this, windowTitle(), problem);
}

void frmCardTable::showTitle()
{
    setWindowTitle(
        QStringLiteral("カード一覧 - %1 (%L2 枚)").arg(pageName_).arg(rows_->rowCount()));
}
