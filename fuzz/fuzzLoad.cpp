// Loads arbitrary bytes as a card file, from memory and from a real file read in two pieces cut
// anywhere, then runs both searches, both detail views and finding by words, with and without the
// names' readings, over the result, checking what must hold for any file.

#include "card_data/cardDecoder.h"
#include "card_data/cardFileReader.h"
#include "card_data/mdlZorv.h"
#include "card_data/numberText.h"
#include "card_rules/cardDetails.h"
#include "card_rules/cardFind.h"
#include "card_rules/cardSearch.h"
#include "card_rules/nameReadings.h"
#include "card_rules/readingIndex.h"
#include "card_rules/textFold.h"
#include "tests/plainReadingKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <numeric>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Decoding in two pieces, cut anywhere, gives the same text as decoding at once.
QString decodeInTwo(QByteArrayView bytes, qsizetype cut)
{
    mdlZorv::CardDecoder decoder(mdlZorv::Utf8Detector::isUtf8Text(bytes));
    QString text;
    decoder.decode(bytes.first(cut), text);
    decoder.decode(bytes.sliced(cut), text);
    decoder.finish(text);
    return text;
}

QStringList everyField()
{
    QStringList fields;
    for (qsizetype row = 0; row < mdlZorv::intCardCount; ++row) {
        for (int field = mdlZorv::firstField; field <= mdlZorv::lastField; ++field)
            fields << mdlZorv::strCardData[field][row];
    }
    return fields;
}

// Loading the bytes from a file read in two pieces, cut after the first line end at or after
// cut, gives the same rows as the whole text.
void checkFileInTwoPieces(QByteArrayView bytes, qint64 cut, const QStringList &whole)
{
    static const QString path =
        QDir::tempPath() +
        QStringLiteral("/zorv-fuzz-%1.dat").arg(QCoreApplication::applicationPid());
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(file.write(bytes.data(), bytes.size()) == bytes.size());
    file.close();
    mdlZorv::readerHooks.cutFrom = cut;
    const mdlZorv::LoadOutcome loaded = mdlZorv::loadCardFile(path);
    mdlZorv::readerHooks.cutFrom = -1;
    check(loaded.problem.isEmpty());
    check(everyField() == whole);
}

void searchMonsters()
{
    using namespace mdlZorv;
    cardSearch::MonsterFilters filters;
    check(cardSearch::searchMonsters(strMonstarData, filters).size() <= size_t(intMonstarCount));
    if (intMonstarCount == 0)
        return;
    filters.type = strMonstarData[CardField::Type][0];
    filters.mazoku = strMonstarData[CardField::Mazoku][0];
    filters.level = strMonstarData[CardField::Level][intMonstarCount - 1];
    filters.effectOnly = true;
    filters.duelistKeys = QStringLiteral("TOJ");
    filters.ap = {readNumber(strMonstarData[CardField::AP][0]), false};
    for (const qsizetype row : cardSearch::searchMonsters(strMonstarData, filters)) {
        check(strMonstarData.isMarked(row));
        check(strMonstarData.view(CardField::Type, row) == *filters.type);
    }
    for (const qsizetype row : {qsizetype(0), intMonstarCount - 1}) {
        const auto found =
            cardDetails::findCard(strMonstarData, strMonstarData[CardField::Number][row]);
        check(found && *found <= row);
        check(cardDetails::monsterDetails(strMonstarData, *found).count(u"\r\n") == 6);
    }
}

void searchMagic()
{
    using namespace mdlZorv;
    cardSearch::MagicFilters filters;
    check(cardSearch::searchMagic(strMagicData, filters).size() <= size_t(intMagicCount));
    if (intMagicCount == 0)
        return;
    filters.kind = strMagicData[MagicField::Kind][0];
    filters.duelistKeys = QStringLiteral("O");
    filters.cost = {readNumber(strMagicData[MagicField::Cost][0]), true};
    cardSearch::searchMagic(strMagicData, filters);
    const auto found = cardDetails::findCard(strMagicData, strMagicData[MagicField::Number][0]);
    check(found && *found == 0);
    check(cardDetails::magicDetails(strMagicData, 0).count(u"\r\n") == 2);
}

// The dictionary the build made (fuzz targets start without QCoreApplication, so not beside the
// program).
const nameReadings::Dictionary &dictionary()
{
    static const nameReadings::LoadedDictionary loaded =
        nameReadings::loadDictionary(QStringLiteral(ZORV_NAME_READINGS_PATH));
    check(loaded.dictionary != nullptr);
    return *loaded.dictionary;
}

// Each row's folded fields, and with readings the keys of its name's readings.
struct PlainRow
{
    QStringList fields;
    std::vector<std::string> readingKeys;
};

// The rows where every word lies in one of the row's fields, folded beforehand, or in a key of
// one of its name's readings (tests/plainReadingKeys.h).
mdlZorv::RowList plainFind(const std::vector<PlainRow> &rows, const QStringList &words)
{
    mdlZorv::RowList found;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (std::all_of(words.begin(), words.end(), [&](const QString &word) {
                const std::string key = nameReadings::findKey(word);
                const auto &keys = rows[row].readingKeys;
                return std::any_of(rows[row].fields.begin(), rows[row].fields.end(),
                                   [&](const QString &field) { return field.contains(word); }) ||
                       (!key.empty() && std::any_of(keys.begin(), keys.end(), [&](const auto &k) {
                           return k.find(key) != std::string::npos;
                       }));
            }))
            found.push_back(qsizetype(row));
    }
    return found;
}

// Finding the monsters by a few words cut from the file's own text, at once and as typed
// keystroke by keystroke, finds the rows a plain fold of each field gives; with readings, those
// and the rows whose name's readings hold the word by key. Every row has a reading shown, the
// first of its name's, and one for every name with characters.
void findWords(QStringView text, qsizetype start, qsizetype length)
{
    using namespace mdlZorv;
    std::vector<PlainRow> plain(static_cast<size_t>(intMonstarCount));
    std::vector<PlainRow> plainWithReadings(plain.size());
    nameReadings::Reader reader(dictionary());
    const cardFind::ReadingIndex readingIndex(strMonstarData, CardField::Name, dictionary());
    for (qsizetype row = 0; row < intMonstarCount; ++row) {
        for (const int field : cardFind::monsterFields)
            plain[size_t(row)].fields << textFold::fold(strMonstarData.view(field, row));
        plainWithReadings[size_t(row)].fields = plain[size_t(row)].fields;
        plainWithReadings[size_t(row)].readingKeys =
            plainReadingKeys::keys(reader, strMonstarData.view(CardField::Name, row));
        const auto &readings = reader.readingCodes(strMonstarData.view(CardField::Name, row));
        check(readings.empty() == strMonstarData.view(CardField::Name, row).isEmpty());
        check(readingIndex.reading(row) ==
              (readings.empty() ? QString() : nameReadings::readingText(readings.front())));
    }
    mdlZorv::RowList rows(plain.size());
    std::iota(rows.begin(), rows.end(), 0);
    const cardFind::FindIndex index(strMonstarData, cardFind::monsterFields);
    cardFind::Narrowing narrowing(index);
    cardFind::Narrowing byReading(index, &readingIndex);
    const QStringView find = text.sliced(start).first(std::min(length, text.size() - start));
    for (qsizetype typed = 1; typed <= find.size(); ++typed) {
        const QStringList words = textFold::words(find.first(typed));
        check(narrowing.narrow(rows, words) == plainFind(plain, words));
        check(byReading.narrow(rows, words) == plainFind(plainWithReadings, words));
    }
    const QStringList words = textFold::words(find);
    check(index.narrow(rows, words) == plainFind(plain, words));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = mdlZorv::CardDecoder::decodeAll(bytes);
    check(text.size() <= bytes.size());
    check(decodeInTwo(bytes, size == 0 ? 0 : qsizetype(data[0] % (size + 1))) == text);

    mdlZorv::loadCardText(text);
    check(mdlZorv::intMonstarCount + mdlZorv::intMagicCount == mdlZorv::intCardCount);
    const qsizetype monsters = mdlZorv::intMonstarCount;
    checkFileInTwoPieces(bytes, size < 2 ? 0 : qint64(data[1] % size), everyField());
    check(mdlZorv::intMonstarCount == monsters);
    searchMonsters();
    searchMagic();
    if (size >= 4)
        findWords(text, (data[2] << 8 | data[3]) % (text.size() + 1), data[size - 1] % 24);
    return 0;
}
