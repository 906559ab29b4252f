#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"
#include "card_rules/tableSort.h"
#include "search_window/backgroundTask.h"
#include "search_window/busyPointer.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class CardComparePane;
class CardGrid;
class CardTableModel;
class QAction;
class QActionGroup;
class QMenu;
class QSplitter;

// The card table: the cards that the page in front lists, side by side in columns, to sort,
// compare, copy and save. A click on a header sorts by its column, a second click the other way,
// a third returns to the list's order; Ctrl+1 to Ctrl+9 and Ctrl+0 do the same from the keyboard,
// and both context menus list every sort. Selecting two cards or more shows them side by side.
// Each page's columns, sort and wrapping are remembered from one time the table is open to the
// next.
class frmCardTable final : public QWidget
{
    Q_OBJECT

public:
    using Details = QString (*)(const mdlZorv::CardTable &, qsizetype);

    explicit frmCardTable(QWidget *mainWindow);
    ~frmCardTable() override;

    // Shows the rows a page lists, rows of its table, in the list's order or in the sort chosen;
    // details gives a row's details text, for comparing cards.
    // readings: of the table's names, once made; else null.
    void showRows(const QString &pageName, std::shared_ptr<const mdlZorv::CardTable> table,
                  tableColumns::Columns columns, std::shared_ptr<const mdlZorv::RowList> listed,
                  std::shared_ptr<const cardFind::ReadingIndex> readings, Details details);
    // The card file being read, which saving never writes over.
    void setFilesInUse(std::function<QStringList()> filesInUse)
    {
        filesInUse_ = std::move(filesInUse);
    }
    // Marks the find words (folded, as textFold::words gives them) in names and effect texts.
    void setFindWords(const QStringList &foldedWords);

Q_SIGNALS:
    // One row became the selected one: its card's row of the page's table.
    void cardChosen(qsizetype tableRow);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    struct SortChoice
    {
        int column = -1; // -1: the list's order
        Qt::SortOrder order = Qt::AscendingOrder;
    };
    struct SortResult
    {
        quint64 request;
        std::shared_ptr<const mdlZorv::CardTable> table;
        std::shared_ptr<const cardFind::ReadingIndex> readings;
        const tableColumns::Column *columns;
        int column;
        std::shared_ptr<const tableSort::ColumnOrder> columnOrder; // null: no memory for it
        mdlZorv::RowList shown;
    };

    // frmCardTable.cpp: the page's columns and what is remembered of them.
    void usePage();
    void sizeColumns(const QList<int> &widths);
    void orderColumns(const QList<int> &order);
    void saveState() const;
    QString pageKey() const;
    // The selection, and comparing the cards selected.
    std::vector<std::pair<int, int>> selectedSpans() const;
    mdlZorv::RowList selectedRows() const;
    void showSelection();
    void placeComparePane();
    // Sorting, at once or on a thread of its own.
    void headerClicked(int column);
    void sortBy(int column, Qt::SortOrder order);
    void applySort();
    bool sortsAtOnce() const;
    void sortAside();
    void showSortDone(SortResult result);
    void showSortIndicator();
    std::vector<qsizetype> cardsToKeep() const;
    void selectCards(const std::vector<qsizetype> &tableRows);
    void showTitle();

    // frmCardTableActions.cpp: keys and menus, copying and saving.
    void addActions();
    QAction *addTableAction(const QString &text, const QKeySequence &key,
                            void (frmCardTable::*slot)());
    void addSortKeys();
    void addSortActions(QMenu *menu);
    void addSortAction(QMenu *menu, QActionGroup *choice, const QString &text, SortChoice sort);
    void showTableMenu(const QPoint &at);
    void showHeaderMenu(const QPoint &at);
    void copyRows();
    void saveCsv();
    void saveSelectedCsv();
    void saveRows(const mdlZorv::RowList &rows, const QString &name);
    void setWrapping(bool wrap);
    void switchToMainWindow();

    QSplitter *splCompare = nullptr;
    CardGrid *grdCards = nullptr;
    CardComparePane *pnlCompare = nullptr;
    CardTableModel *rows_ = nullptr;
    QAction *wrapAction_ = nullptr;
    std::vector<QAction *> tableActions_; // of the table's context menu, in its order
    QString pageName_;
    std::function<QStringList()> filesInUse_; // as they are when a file is saved
    Details details_ = nullptr;
    SortChoice sort_;
    quint64 sortRequest_ = 0;  // counts the sorts shown, so that an older one's result is left
    bool sortWaiting_ = false; // a sort is to start once the one running ends
    std::optional<BusyPointer> sortBusy_;
    // Last, so that it ends, and waits for its thread, before the rest goes.
    BackgroundTask<SortResult> sorting_;
};
