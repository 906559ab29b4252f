#pragma once

#include "card_data/cardTable.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CardListModel;
class QListView;
class QPlainTextEdit;
class QWidget;
namespace cardFind {
class FindIndex;
}

// One tab of the search window: the card table it searches, its filter controls, the list of the
// cards that its filters and the find words leave, and the box with the chosen card's details.
class SearchPage
{
public:
    // The page's search over its table with its filters as they stand: the rows that pass.
    using Search = std::function<std::vector<qsizetype>(mdlZorv::CardTable &)>;
    using Details = QString (*)(const mdlZorv::CardTable &, qsizetype);

    struct Parts
    {
        mdlZorv::CardTable &table;
        CardListModel *names;
        QListView *list;
        QPlainTextEdit *detailsBox;
        // The filter controls and the name list, in the order of the Tab key. The Tab chain, the
        // searches' wiring and the tab switch all follow this list.
        std::vector<QWidget *> controls;
        std::vector<int> findFields; // the number, name and effect text fields
        Search search;
        Details details;
    };

    explicit SearchPage(Parts parts);
    ~SearchPage();
    SearchPage(const SearchPage &) = delete;
    SearchPage &operator=(const SearchPage &) = delete;

    const std::vector<QWidget *> &controls() const { return parts_.controls; }
    QListView *list() const { return parts_.list; }

    // Runs the page's search and lists the rows it gives that hold every find word.
    void search(const QStringList &findWords);
    // Lists the rows of the last search that hold every find word.
    void showFound(const QStringList &findWords);
    // The find words changed while the page was behind: its list follows once it is in front.
    void markFindStale() { findStale_ = true; }
    bool findStale() const { return findStale_; }
    // The entries listed, and the rows the page's filters alone give.
    qsizetype listedCount() const;
    qsizetype filteredCount() const { return qsizetype(filteredRows_.size()); }

    // The card number of the selected entry, if one is selected.
    std::optional<QString> selectedCardNumber() const;
    // Shows the details of the first row with the card number; a number no row has leaves the
    // box as it was.
    void showDetails(const QString &cardNumber);
    // Selects the entry of the card with the number again, which shows its details afresh; with
    // no such entry, the details box is cleared.
    void reselectCard(const std::optional<QString> &cardNumber);
    // The table now holds other cards: these are their folded texts, or none to make them again
    // when next needed.
    void useFindIndex(std::unique_ptr<cardFind::FindIndex> index);

private:
    const cardFind::FindIndex &findIndex();

    Parts parts_;
    std::vector<qsizetype> filteredRows_;
    std::unique_ptr<cardFind::FindIndex> findIndex_;
    bool findStale_ = false;
};
