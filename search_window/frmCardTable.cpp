#include "search_window/frmCardTable.h"

#include "card_rules/cardDetails.h"
#include "search_window/cardComparePane.h"
#include "search_window/cardGrid.h"
#include "search_window/cardListModel.h"
#include "search_window/cardTableModel.h"
#include "search_window/cardTableState.h"
#include "search_window/userSettings.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QResizeEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

// The width a column opens at, in characters of the window's font, unless its header is wider.
int usualCharacters(const tableColumns::Column &column)
{
    switch (column.cell) {
    case tableColumns::Cell::Name:
        return 10;
    case tableColumns::Cell::Reading:
        return 6;
    case tableColumns::Cell::Code:
    case tableColumns::Cell::Effect:
        return 4;
    case tableColumns::Cell::Short:
        break;
    }
    return column.sorting == tableColumns::Sorting::Number ? 3 : 4; // 魔法使い
}

// A table this long or longer is sorted on a thread of its own: working out the order of its
// texts takes longer than a frame (20,000 names: about 10 ms).
constexpr qsizetype sortAsideFrom = 20'000;
// Listed rows put in an order already worked out, by counting, take a frame from this many on.
constexpr size_t countAsideFrom = 200'000;

// The order of a column worked out, and the rows listed in it; null where memory ran short.
std::pair<std::shared_ptr<const tableSort::ColumnOrder>, mdlZorv::RowList>
sortedAside(const mdlZorv::CardTable &table, const cardFind::ReadingIndex *readings,
            const tableColumns::Column &column, std::shared_ptr<const tableSort::ColumnOrder> known,
            const mdlZorv::RowList &listed, Qt::SortOrder order)
{
    try {
        if (!known)
            known = std::make_shared<const tableSort::ColumnOrder>(table, column, readings);
        mdlZorv::RowList shown = known->sorted(listed, order);
        return {std::move(known), std::move(shown)};
    } catch (const std::bad_alloc &) {
        return {};
    }
}

} // namespace

frmCardTable::frmCardTable(QWidget *mainWindow) : QWidget(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("frmCardTable"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 480);
    splCompare = new QSplitter(this);
    splCompare->setObjectName(QStringLiteral("splCompare"));
    rows_ = new CardTableModel(this);
    grdCards = new CardGrid(rows_, splCompare);
    grdCards->setObjectName(QStringLiteral("grdCards"));
    grdCards->setAccessibleName(QStringLiteral("カード一覧"));
    grdCards->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCards->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdCards->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCards->verticalHeader()->hide();
    QHeaderView *header = grdCards->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    pnlCompare = new CardComparePane(splCompare);
    pnlCompare->hide();
    splCompare->addWidget(grdCards);
    splCompare->addWidget(pnlCompare);
    splCompare->setStretchFactor(0, 1);
    splCompare->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splCompare);

    connect(header, &QHeaderView::sectionClicked, this, &frmCardTable::headerClicked);
    connect(header, &QHeaderView::customContextMenuRequested, this, &frmCardTable::showHeaderMenu);
    connect(grdCards->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmCardTable::showSelection);
    // New rows clear the selection without a word: the cards compared go with it.
    connect(rows_, &QAbstractItemModel::modelReset, this, &frmCardTable::showSelection);
    addActions();
}

frmCardTable::~frmCardTable()
{
    saveState();
}

void frmCardTable::showRows(const QString &pageName,
                            std::shared_ptr<const mdlZorv::CardTable> table,
                            tableColumns::Columns columns,
                            std::shared_ptr<const mdlZorv::RowList> listed,
                            std::shared_ptr<const cardFind::ReadingIndex> readings, Details details)
{
    const bool otherPage = columns.data() != rows_->columns().data();
    if (otherPage)
        saveState();
    pageName_ = pageName;
    details_ = details;
    {
        const BusyPointer busy(this);
        rows_->setRows(std::move(table), columns, std::move(listed), std::move(readings));
    }
    if (otherPage)
        usePage();
    applySort();
    showTitle();
}

void frmCardTable::setFindWords(const QStringList &foldedWords)
{
    grdCards->setFindWords(foldedWords);
}

// The widths, order, sort and wrapping this page's table had when it was last shown.
void frmCardTable::usePage()
{
    const cardTableState::State state =
        cardTableState::read(UserSettings(), pageKey(), rows_->columnCount());
    sizeColumns(state.widths);
    orderColumns(state.order);
    sort_ = {state.sortColumn, state.sortOrder};
    setWrapping(state.wrap);
}

// Columns as wide as they were left, or as their usual texts, never narrower than their headers;
// the effect text takes the width the others leave. Room for the sort indicator is made in the
// sorted column alone (showSortIndicator), which leaves the effect text a fifth of a narrow
// window more.
void frmCardTable::sizeColumns(const QList<int> &widths)
{
    QHeaderView *header = grdCards->horizontalHeader();
    header->setSortIndicatorShown(false);
    const int character = fontMetrics().horizontalAdvance(u'あ');
    for (int column = 0; column < rows_->columnCount(); ++column) {
        const tableColumns::Cell cell = rows_->columns()[size_t(column)].cell;
        const int usual = usualCharacters(rows_->columns()[size_t(column)]) * character + 12;
        const int width = widths.value(column) > 0 ? widths.value(column) : usual;
        header->setSectionResizeMode(column, cell == tableColumns::Cell::Effect
                                                 ? QHeaderView::Stretch
                                                 : QHeaderView::Interactive);
        header->resizeSection(column, std::max(width, header->sectionSizeHint(column)));
    }
}

void frmCardTable::orderColumns(const QList<int> &order)
{
    QHeaderView *header = grdCards->horizontalHeader();
    for (int place = 0; place < int(order.size()) && place < header->count(); ++place)
        header->moveSection(header->visualIndex(order[place]), place);
}

void frmCardTable::saveState() const
{
    const int count = rows_->columnCount();
    if (count == 0)
        return;
    const QHeaderView *header = grdCards->horizontalHeader();
    cardTableState::State state;
    for (int column = 0; column < count; ++column) {
        const bool stretched = header->sectionResizeMode(column) == QHeaderView::Stretch;
        state.widths << (stretched ? 0 : header->sectionSize(column));
        state.order << header->logicalIndex(column);
    }
    state.sortColumn = sort_.column;
    state.sortOrder = sort_.order;
    state.wrap = grdCards->wrapping();
    UserSettings settings;
    cardTableState::write(settings, pageKey(), state);
}

QString frmCardTable::pageKey() const
{
    return rows_->columns().data() == tableColumns::monster.data() ? u"monsters"_qs : u"magic"_qs;
}

// The rows selected, as spans of rows in view (first, last), in order and apart. A selection
// of a million rows is a few spans, never a list of its rows.
std::vector<std::pair<int, int>> frmCardTable::selectedSpans() const
{
    std::vector<std::pair<int, int>> spans;
    for (const QItemSelectionRange &range : grdCards->selectionModel()->selection())
        spans.emplace_back(range.top(), range.bottom());
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> joined;
    for (const auto &span : spans) {
        if (!joined.empty() && span.first <= joined.back().second + 1)
            joined.back().second = std::max(joined.back().second, span.second);
        else
            joined.push_back(span);
    }
    return joined;
}

// The table rows of the rows selected, in the table's order from top to bottom.
mdlZorv::RowList frmCardTable::selectedRows() const
{
    mdlZorv::RowList rows;
    for (const auto &[first, last] : selectedSpans()) {
        for (int row = first; row <= last; ++row)
            rows.push_back(rows_->tableRow(row));
    }
    return rows;
}

// One row selected shows its card in the main window; two or more, up to eight of them side by
// side here.
void frmCardTable::showSelection()
{
    const std::vector<std::pair<int, int>> spans = selectedSpans();
    qsizetype count = 0;
    for (const auto &[first, last] : spans)
        count += last - first + 1;
    if (count == 1)
        Q_EMIT cardChosen(rows_->tableRow(spans.front().first));
    if (count < 2 || !details_) {
        pnlCompare->hide();
        return;
    }
    std::vector<CardComparePane::Card> cards;
    constexpr size_t most = CardComparePane::mostCards;
    for (auto span = spans.begin(); span != spans.end() && cards.size() < most; ++span) {
        for (int row = span->first; row <= span->second && cards.size() < most; ++row) {
            const qsizetype tableRow = rows_->tableRow(row);
            cards.push_back({CardListModel::entryText(rows_->table(), tableRow),
                             cardDetails::boxText(details_(rows_->table(), tableRow))});
        }
    }
    pnlCompare->showCards(cards, count - qsizetype(cards.size()));
    if (pnlCompare->isHidden()) {
        pnlCompare->show();
        placeComparePane();
    }
}

// Beside the table where the window is wide, below it where it is narrow.
void frmCardTable::placeComparePane()
{
    constexpr int wideFrom = 1100;
    const Qt::Orientation along = width() >= wideFrom ? Qt::Horizontal : Qt::Vertical;
    if (splCompare->orientation() != along)
        splCompare->setOrientation(along);
    const int length = along == Qt::Horizontal ? splCompare->width() : splCompare->height();
    const int pane = length * 2 / 5;
    splCompare->setSizes({length - pane, pane});
}

void frmCardTable::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (pnlCompare->isVisible())
        placeComparePane();
}

// The table is a window of its own, not one kept above the main window, so that each can be
// brought in front of the other where they overlap.
void frmCardTable::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QWindow *window = windowHandle())
        window->setTransientParent(nullptr);
}

// The list's order, then up, then down, then the list's order again.
void frmCardTable::headerClicked(int column)
{
    if (sort_.column != column)
        sortBy(column, Qt::AscendingOrder);
    else if (sort_.order == Qt::AscendingOrder)
        sortBy(column, Qt::DescendingOrder);
    else
        sortBy(-1, Qt::AscendingOrder);
}

void frmCardTable::sortBy(int column, Qt::SortOrder order)
{
    sort_ = {column, order};
    applySort();
}

// Shows the rows in the sort chosen: at once where that is quick, else once it is worked out
// aside. Any result still to come for an earlier sort is left.
void frmCardTable::applySort()
{
    ++sortRequest_;
    if (sort_.column >= rows_->columnCount())
        sort_ = {};
    showSortIndicator();
    if (rows_->sortColumn() == sort_.column &&
        (sort_.column < 0 || rows_->sortOrder() == sort_.order))
        return;
    if (sort_.column >= 0 && !sortsAtOnce()) {
        sortAside();
        return;
    }
    const std::vector<qsizetype> keep = cardsToKeep();
    {
        const BusyPointer busy(this);
        rows_->sortBy(sort_.column, sort_.order);
    }
    selectCards(keep);
}

bool frmCardTable::sortsAtOnce() const
{
    return rows_->table().rowCount() < sortAsideFrom ||
           (rows_->knownOrder(sort_.column) && rows_->listedRows().size() < countAsideFrom);
}

// Works out the order on a thread of its own, from the table's text alone, which no one
// changes: the table is shared, never written.
void frmCardTable::sortAside()
{
    if (sorting_.isRunning()) {
        sortWaiting_ = true;
        return;
    }
    if (!sortBusy_)
        sortBusy_.emplace(this);
    SortResult result{sortRequest_,
                      rows_->sharedTable(),
                      rows_->readings(),
                      rows_->columns().data(),
                      sort_.column,
                      nullptr,
                      {}};
    const tableColumns::Column column = rows_->columns()[size_t(sort_.column)];
    sorting_.start(
        [result, column, known = rows_->knownOrder(sort_.column),
         listed = rows_->sharedListedRows(), order = sort_.order]() mutable {
            std::tie(result.columnOrder, result.shown) = sortedAside(
                *result.table, result.readings.get(), column, std::move(known), *listed, order);
            return std::move(result);
        },
        [this](SortResult done) { showSortDone(std::move(done)); });
}

// The order worked out serves the sort chosen now if it is of the same column of the table
// shown, whatever changed meanwhile; else it is left.
void frmCardTable::showSortDone(SortResult result)
{
    sortBusy_.reset();
    const bool sameTable = result.table == rows_->sharedTable() &&
                           result.readings == rows_->readings() &&
                           result.columns == rows_->columns().data();
    if (sameTable && !result.columnOrder) {
        sort_ = {};
        showSortIndicator();
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("メモリーが足りないため並べ替えられませんでした。"));
    } else if (sameTable && result.column == sort_.column) {
        sortWaiting_ = false;
        mdlZorv::RowList shown = result.request == sortRequest_
                                     ? std::move(result.shown)
                                     : result.columnOrder->sorted(rows_->listedRows(), sort_.order);
        const std::vector<qsizetype> keep = cardsToKeep();
        rows_->showSorted(sort_.column, sort_.order, result.columnOrder, std::move(shown));
        selectCards(keep);
    }
    if (std::exchange(sortWaiting_, false))
        applySort();
}

void frmCardTable::showSortIndicator()
{
    QHeaderView *header = grdCards->horizontalHeader();
    header->setSortIndicatorShown(sort_.column >= 0);
    header->setSortIndicator(sort_.column, sort_.order);
    if (sort_.column >= 0 && header->sectionResizeMode(sort_.column) == QHeaderView::Interactive)
        header->resizeSection(sort_.column, std::max(header->sectionSize(sort_.column),
                                                     header->sectionSizeHint(sort_.column)));
}

// The cards selected, current first, to select again once the rows are in another order: all of
// them while they are few enough to compare, else the current one alone.
std::vector<qsizetype> frmCardTable::cardsToKeep() const
{
    std::vector<qsizetype> cards;
    const QModelIndex current = grdCards->currentIndex();
    if (current.isValid() && grdCards->selectionModel()->isRowSelected(current.row()))
        cards.push_back(rows_->tableRow(current.row()));
    const auto kept = [&](qsizetype card) {
        return std::find(cards.begin(), cards.end(), card) != cards.end();
    };
    for (const auto &[first, last] : selectedSpans()) {
        for (int row = first; row <= last && cards.size() <= CardComparePane::mostCards; ++row) {
            if (!kept(rows_->tableRow(row)))
                cards.push_back(rows_->tableRow(row));
        }
    }
    if (cards.size() > CardComparePane::mostCards)
        cards.resize(current.isValid() && cards.front() == rows_->tableRow(current.row()) ? 1 : 0);
    return cards;
}

void frmCardTable::selectCards(const std::vector<qsizetype> &tableRows)
{
    QItemSelection selection;
    int currentRow = -1;
    const mdlZorv::RowList &shown = rows_->shownRows();
    size_t found = 0;
    for (int row = 0; row < rows_->rowCount() && found < tableRows.size(); ++row) {
        const auto card = std::find(tableRows.begin(), tableRows.end(), shown[size_t(row)]);
        if (card == tableRows.end())
            continue;
        ++found;
        selection.select(rows_->index(row, 0), rows_->index(row, 0));
        if (card == tableRows.begin())
            currentRow = row;
    }
    if (selection.isEmpty())
        return;
    QItemSelectionModel *selected = grdCards->selectionModel();
    if (currentRow >= 0)
        selected->setCurrentIndex(rows_->index(currentRow, 0), QItemSelectionModel::NoUpdate);
    selected->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (currentRow >= 0)
        grdCards->scrollTo(rows_->index(currentRow, 0));
}

void frmCardTable::showTitle()
{
    setWindowTitle(
        QStringLiteral("カード一覧 - %1 (%L2 枚)").arg(pageName_).arg(rows_->rowCount()));
}
