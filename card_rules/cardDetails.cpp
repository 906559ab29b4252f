#include "card_rules/cardDetails.h"

#include "card_data/cardFields.h"
#include "card_data/numberText.h"

#include <QStringList>

namespace cardDetails {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

QString concat(std::initializer_list<QStringView> parts)
{
    QString text;
    for (const QStringView part : parts)
        text.append(part);
    return text;
}

// "Lv-4       ｺｽﾄ-12": the level part is padded to 11 characters; a longer one is not cut.
QString levelAndCostLine(QStringView level, QStringView cost)
{
    constexpr qsizetype levelPartWidth = 11;
    const QString levelPart = concat({u"Lv-", level}).leftJustified(levelPartWidth, u' ');
    return concat({levelPart, u"ｺｽﾄ-", cost});
}

// "AP-1300 → 910": two blanks before the arrow after a three-character value, one otherwise.
QString adjustedLine(QStringView label, QStringView value, double rate)
{
    const QStringView gap = value.size() == 3 ? u"  " : u" ";
    const QString adjusted = mdlZorv::numberText(mdlZorv::readNumber(value) * rate);
    return concat({label, value, gap, u"→ ", adjusted});
}

} // namespace

std::optional<qsizetype> findCard(const mdlZorv::CardTable &table, QStringView number)
{
    for (qsizetype row = 0; row < table.rowCount(); ++row) {
        if (table.view(mdlZorv::CardField::Number, row) == number)
            return row;
    }
    return std::nullopt;
}

double typeRate(QStringView type)
{
    if (type == u"天使" || type == u"機械" || type == u"炎")
        return 0.7;
    if (type == u"爬虫類")
        return 1.0;
    return 1.3;
}

QString monsterDetails(const mdlZorv::CardTable &monsters, qsizetype row)
{
    using namespace mdlZorv::CardField;
    const auto field = [&](int f) {
        return monsters.view(f, row);
    };
    const double rate = typeRate(field(Type));
    const QStringList lines = {levelAndCostLine(field(Level), field(Cost)),
                               adjustedLine(u"AP-", field(AP), rate),
                               adjustedLine(u"DP-", field(DP), rate),
                               field(Type).toString(),
                               field(Mazoku).toString(),
                               concat({u"ID-", field(Id)}),
                               field(Effect).toString()};
    return lines.join(lineEnd);
}

QString magicDetails(const mdlZorv::CardTable &magic, qsizetype row)
{
    using namespace mdlZorv::MagicField;
    const QStringList lines = {concat({u"ｺｽﾄ-", magic.view(Cost, row)}),
                               concat({u"ID-", magic.view(Id, row)}),
                               magic.view(Effect, row).toString()};
    return lines.join(lineEnd);
}

QString boxText(QString details)
{
    return details.replace(lineEnd, QStringLiteral("\n"));
}

} // namespace cardDetails
