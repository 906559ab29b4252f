#pragma once

#include "card_data/cardTable.h"
#include "card_rules/tableColumns.h"

#include <QWidget>

#include <memory>
#include <vector>

class CardTableModel;
class QTableView;

// The card table: the cards that the page in front lists, side by side in columns, to sort,
// compare, copy and save. A click on a header sorts by its column, a second click the other way,
// a third returns to the list's order; Ctrl+1 to Ctrl+9 do the same from the keyboard.
class frmCardTable final : public QWidget
{
    Q_OBJECT

public:
    explicit frmCardTable(QWidget *mainWindow);

    // Shows the rows a page lists, rows of its table, in the list's order or in the sort chosen.
    void showRows(const QString &pageName, std::shared_ptr<const mdlZorv::CardTable> table,
                  tableColumns::Columns columns, mdlZorv::RowList listed);
    // The card file being read, which saving never writes over.
    void setCardFile(const QString &path) { cardFile_ = path; }

Q_SIGNALS:
    // A row became the current one: its card's row of the page's table.
    void cardChosen(qsizetype tableRow);

private:
    void addActions();
    void sizeColumns();
    void headerClicked(int column);
    void sortBy(int column, Qt::SortOrder order);
    void copyRows();
    void saveCsv();
    void showHeaderMenu(const QPoint &at);
    void showTitle();

    QTableView *grdCards = nullptr;
    CardTableModel *rows_ = nullptr;
    QString pageName_;
    QString cardFile_;
};
