#include "search_window/searchPage.h"

#include "card_data/cardFields.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardFind.h"
#include "card_rules/filterLists.h"
#include "card_rules/readingIndex.h"
#include "card_rules/textFold.h"
#include "search_window/cardListModel.h"
#include "search_window/pageLayout.h"
#include "search_window/windowControls.h"

#include <QApplication>
#include <QListView>
#include <QPersistentModelIndex>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <utility>

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

bool holdsKanji(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'\u3400' && c <= u'\u9FFF') || (c >= u'\uF900' && c <= u'\uFAFF') ||
               c == u'々';
    });
}

// Scrolls a list to an entry once the list has laid it out: a long list lays out its entries in
// batches while the window goes on, and an entry not yet laid out has no place to scroll to.
void scrollToWhenLaidOut(QListView *list, const QPersistentModelIndex &entry)
{
    if (!entry.isValid())
        return; // the list was filled anew meanwhile
    if (list->visualRect(entry).isValid())
        list->scrollTo(entry);
    else
        QTimer::singleShot(0, list, [list, entry] { scrollToWhenLaidOut(list, entry); });
}

} // namespace

SearchPage::SearchPage(Parts parts)
    : parts_(std::move(parts)), cards_{std::make_shared<const mdlZorv::CardTable>(), nullptr,
                                       nullptr}
{}

SearchPage::~SearchPage() = default;

// A narrowing holds results of its index and readings: new ones start afresh.
void SearchPage::useCards(PageCards cards)
{
    if (cards.findIndex != cards_.findIndex || cards.readings != cards_.readings)
        narrowing_ = cards.findIndex ? std::make_unique<cardFind::Narrowing>(*cards.findIndex,
                                                                             cards.readings.get())
                                     : nullptr;
    const bool otherTable = cards.table != cards_.table;
    const bool otherReadings = cards.readings != cards_.readings;
    cards_ = std::move(cards);
    if (otherTable && shownCard_)
        shownRow_ = cardDetails::findCard(*cards_.table, *shownCard_).value_or(-1);
    if ((otherTable || otherReadings) && shownCard_)
        markShownCard(shownCardListed_);
}

void SearchPage::showFiltered(mdlZorv::RowList rows, const QStringList &findWords)
{
    filteredRows_ = std::make_shared<const mdlZorv::RowList>(std::move(rows));
    showFound(findWords);
}

void SearchPage::showFound(const QStringList &findWords)
{
    findStale_ = !findWords.isEmpty() && !cards_.findIndex;
    findWords_ = findWords;
    markFindWords();
    setRows(findWords.isEmpty() || findStale_ ? filteredRows_
                                              : narrowing_->narrow(filteredRows_, findWords));
}

void SearchPage::setRows(std::shared_ptr<const mdlZorv::RowList> rows)
{
    narrowed_ = rows != filteredRows_;
    parts_.names->setRows(cards_.table, std::move(rows));
    parts_.list->setToolTip(countText(narrowed_));
    parts_.list->setAccessibleDescription(parts_.list->toolTip());
    if (!shownCard_) {
        showHeading();
        return;
    }
    markShownCard(parts_.names->entryOfRow(shownRow_) >= 0);
    if (std::exchange(selectShownCard_, false))
        selectShownCard();
}

void SearchPage::selectShownCard()
{
    if (findStale_) {
        selectShownCard_ = true;
        return;
    }
    if (const int entry = shownCard_ ? entryOf(*shownCard_) : -1; entry >= 0) {
        parts_.list->setCurrentIndex(parts_.names->index(entry));
        scrollToWhenLaidOut(parts_.list, parts_.names->index(entry));
    }
}

// "12 枚", or with find words "3 枚 (条件に合う 12 枚のうち)".
QString SearchPage::countText(bool narrowed) const
{
    const QString listed = QStringLiteral("%L1 枚").arg(listedCount());
    return narrowed
               ? QStringLiteral("%1 (条件に合う %L2 枚のうち)").arg(listed).arg(filteredCount())
               : listed;
}

// "003 燐光の鍛冶師 (りんこうのかじし)": the number, the name and, for a name with kanji in it, its
// reading once the readings are made.
QString SearchPage::shownCardName() const
{
    const QStringView name = cards_.table->view(mdlZorv::CardField::Name, shownRow_);
    QString text = *shownCard_ + u' ' + filterLists::entryText(name);
    if (cards_.readings && holdsKanji(name)) {
        if (const QString reading = cards_.readings->reading(shownRow_); !reading.isEmpty())
            text += QStringLiteral(" (%1)").arg(filterLists::entryText(reading));
    }
    return text;
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
    return cards_.table
        ->view(mdlZorv::CardField::Number, parts_.names->tableRow(selected.first().row()))
        .toString();
}

void SearchPage::showDetails(const QString &cardNumber)
{
    const mdlZorv::CardTable &table = *cards_.table;
    const auto row = cardDetails::findCard(table, cardNumber);
    if (!row)
        return;
    setDetailsText(parts_.detailsBox, cardDetails::boxText(parts_.details(table, *row)));
    shownCard_ = cardNumber;
    shownRow_ = *row;
    markShownCard(true);
    markFindWords();
}

void SearchPage::reselectCard(const std::optional<QString> &cardNumber)
{
    if (const int entry = cardNumber ? entryOf(*cardNumber) : -1; entry >= 0)
        parts_.list->setCurrentIndex(parts_.names->index(entry));
}

int SearchPage::entryOf(const QString &cardNumber) const
{
    const CardListModel &names = *parts_.names;
    for (int entry = 0; entry < names.rowCount(); ++entry) {
        if (cards_.table->view(mdlZorv::CardField::Number, names.tableRow(entry)) == cardNumber)
            return entry;
    }
    return -1;
}

// A card left out of the list keeps its details, in the colour of disabled text.
void SearchPage::markShownCard(bool listed)
{
    QPlainTextEdit *box = parts_.detailsBox;
    QPalette palette = box->palette();
    const QColor text = QApplication::palette(box).color(
        listed ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    palette.setColor(QPalette::Active, QPalette::Text, text);
    palette.setColor(QPalette::Inactive, QPalette::Text, text);
    box->setPalette(palette);
    const QString name = shownCardName();
    box->setToolTip(listed ? name : QStringLiteral("%1 (一覧にありません)").arg(name));
    box->setAccessibleDescription(box->toolTip());
    shownCardListed_ = listed;
    showHeading();
}

// The card shown, the duelists who may use it, and the count of the list.
void SearchPage::showHeading()
{
    QStringList lines;
    QStringList spoken;
    if (shownCard_) {
        const QString name = parts_.detailsBox->toolTip();
        const QString duelists = QStringLiteral("使用可能デュエリスト: %1")
                                     .arg(filterLists::duelistNames(
                                         cards_.table->view(parts_.duelistsField, shownRow_)));
        lines << QStringLiteral("<b>%1</b>").arg(name.toHtmlEscaped()) << duelists.toHtmlEscaped();
        spoken << name << duelists;
    }
    const QString count = QStringLiteral("一覧: %1").arg(countText(narrowed_));
    lines << count.toHtmlEscaped();
    spoken << count;
    parts_.layout->setHeading(lines.join(u"<br>"), spoken.join(u'\n'));
}

// The find words are marked in the details by the box's formatting: its text stays as it is.
void SearchPage::markFindWords()
{
    QPlainTextEdit *box = parts_.detailsBox;
    QList<QTextEdit::ExtraSelection> marks;
    for (const textFold::Mark &mark : textFold::findMarks(box->toPlainText(), findWords_)) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(box->document());
        selection.cursor.setPosition(int(mark.start));
        selection.cursor.setPosition(int(mark.start + mark.length), QTextCursor::KeepAnchor);
        selection.format = windowControls::findMarkFormat();
        marks << selection;
    }
    box->setExtraSelections(marks);
}
