#pragma once

#include "card_data/cardTable.h"
#include "card_rules/cardSet.h"
#include "card_rules/tableColumns.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class CardListModel;
class PageLayout;
class QListView;
class QPlainTextEdit;
class QWidget;
namespace cardFind {
class Narrowing;
}

// One tab of the search window: the cards it shows, the list of those its filters and the find
// words leave, and the box with the chosen card's details.
class SearchPage
{
public:
    using Details = QString (*)(const mdlZorv::CardTable &, qsizetype);

    struct Parts
    {
        QString title;                 // of its tab
        tableColumns::Columns columns; // of the card table window
        CardListModel *names;
        QListView *list;
        QPlainTextEdit *detailsBox;
        PageLayout *layout; // which shows the heading of the details beside the list
        int duelistsField;  // of the page's table
        // The filter controls and the name list, in the order of the Tab key. The Tab chain, the
        // searches' wiring and the tab switch all follow this list.
        std::vector<QWidget *> controls;
        Details details;
    };

    explicit SearchPage(Parts parts);
    ~SearchPage();
    SearchPage(const SearchPage &) = delete;
    SearchPage &operator=(const SearchPage &) = delete;

    const std::vector<QWidget *> &controls() const { return parts_.controls; }
    const QString &title() const { return parts_.title; }
    tableColumns::Columns columns() const { return parts_.columns; }
    CardListModel *names() const { return parts_.names; }
    QListView *list() const { return parts_.list; }
    QPlainTextEdit *detailsBox() const { return parts_.detailsBox; }
    Details details() const { return parts_.details; }

    // The page's cards from now on; the rows listed next are rows of their table. The details
    // keep the card they show, found again by its number.
    void useCards(PageCards cards);
    const PageCards &cards() const { return cards_; }

    // Lists the rows the page's filters give (a search of the page's cards) that hold every
    // find word.
    void showFiltered(mdlZorv::RowList rows, const QStringList &findWords);
    // Lists the rows the filters last gave that hold every find word. Until the page's texts
    // are folded, it lists them all, and the list still has to follow the words.
    void showFound(const QStringList &findWords);
    // The find words changed while the page was behind: its list follows once it is in front.
    void markFindStale() { findStale_ = true; }
    bool findStale() const { return findStale_; }
    // Whether the list waits for the page's texts to be folded before it can follow the words.
    bool awaitsFolding() const { return findStale_ && !cards_.findIndex; }
    // The entries listed, and the rows the page's filters alone give.
    qsizetype listedCount() const;
    qsizetype filteredCount() const { return qsizetype(filteredRows_->size()); }

    // The card number of the selected entry, if one is selected.
    std::optional<QString> selectedCardNumber() const;
    // Shows the details of the first row with the card number; a number no row has leaves the
    // box as it was. The box names the card it shows, and is drawn dimmed while the list leaves
    // that card out.
    void showDetails(const QString &cardNumber);
    // Makes the list's first entry of the card the details show the selected one, in view: at
    // once, or once the list follows the find words if it does not yet.
    void selectShownCard();
    // Selects the entry of the card with the number again, which shows its details afresh; with
    // no such entry, the details stay, dimmed.
    void reselectCard(const std::optional<QString> &cardNumber);

private:
    void setRows(std::shared_ptr<const mdlZorv::RowList> rows);
    QString countText(bool narrowed) const;
    QString shownCardName() const;
    void showHeading();
    void markFindWords();
    // The list's first entry of the card with the number, or -1.
    int entryOf(const QString &cardNumber) const;
    void markShownCard(bool listed);

    Parts parts_;
    PageCards cards_;
    // The rows the filters give, which the list shares while no find words narrow it.
    std::shared_ptr<const mdlZorv::RowList> filteredRows_ =
        std::make_shared<const mdlZorv::RowList>();
    std::unique_ptr<cardFind::Narrowing> narrowing_; // of the cards' find index
    bool findStale_ = false;
    std::optional<QString> shownCard_; // the number of the card the details show
    qsizetype shownRow_ = -1;          // its first row, or -1 where the table holds none
    bool shownCardListed_ = false;
    bool selectShownCard_ = false;
    bool narrowed_ = false; // the list holds the rows the find words leave
    QStringList findWords_; // the last ones the list followed
};
