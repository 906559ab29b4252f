#include "search_window/searchPage.h"

#include "card_data/cardFields.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardFind.h"
#include "search_window/cardListModel.h"

#include <QListView>
#include <QPlainTextEdit>

namespace {

// Wrapping at word boundaries looks for a break point over the rest of the text once per line,
// which takes seconds on a long field with none. Long details wrap anywhere instead.
void setDetailsText(QPlainTextEdit *box, const QString &text)
{
    constexpr qsizetype wrapAnywhereFrom = 10'000;
    box->setWordWrapMode(text.size() < wrapAnywhereFrom ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                        : QTextOption::WrapAnywhere);
    box->setPlainText(text);
}

} // namespace

SearchPage::SearchPage(Parts parts) : parts_(std::move(parts))
{}

SearchPage::~SearchPage() = default;

void SearchPage::search(const QStringList &findWords)
{
    filteredRows_ = parts_.search(parts_.table);
    showFound(findWords);
}

void SearchPage::showFound(const QStringList &findWords)
{
    findStale_ = false;
    parts_.names->setRows(findWords.isEmpty() ? filteredRows_
                                              : findIndex().narrow(filteredRows_, findWords));
}

qsizetype SearchPage::listedCount() const
{
    return parts_.names->rowCount();
}

// Found through the row the entry was built from.
std::optional<QString> SearchPage::selectedCardNumber() const
{
    const QModelIndexList selected = parts_.list->selectionModel()->selectedIndexes();
    if (parts_.names->rowCount() <= 0 || selected.isEmpty())
        return std::nullopt;
    return parts_.table[mdlZorv::CardField::Number][parts_.names->tableRow(selected.first().row())];
}

void SearchPage::showDetails(const QString &cardNumber)
{
    if (const auto row = cardDetails::findCard(parts_.table, cardNumber))
        setDetailsText(parts_.detailsBox, cardDetails::boxText(parts_.details(parts_.table, *row)));
}

void SearchPage::reselectCard(const std::optional<QString> &cardNumber)
{
    const CardListModel &names = *parts_.names;
    for (int entry = 0; cardNumber && entry < names.rowCount(); ++entry) {
        if (parts_.table.view(mdlZorv::CardField::Number, names.tableRow(entry)) == *cardNumber) {
            parts_.list->setCurrentIndex(names.index(entry));
            return;
        }
    }
    parts_.detailsBox->clear();
}

void SearchPage::useFindIndex(std::unique_ptr<cardFind::FindIndex> index)
{
    findIndex_ = std::move(index);
}

const cardFind::FindIndex &SearchPage::findIndex()
{
    if (!findIndex_)
        findIndex_ = std::make_unique<cardFind::FindIndex>(parts_.table, parts_.findFields);
    return *findIndex_;
}
