#include "search_window/cardComparePane.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

CardComparePane::CardComparePane(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlCompare"));
    setAccessibleName(QStringLiteral("選んだカードの比較"));
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrCompare"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *strip = new QWidget(scroll);
    strip->setObjectName(QStringLiteral("pnlCompareCards"));
    auto *cards = new QHBoxLayout(strip);
    for (int number = 1; number <= mostCards; ++number) {
        panels_.push_back(makePanel(strip, number));
        cards->addWidget(panels_.back().frame, 1);
    }
    scroll->setWidget(strip);
    lblCompareMore = new QLabel(this);
    lblCompareMore->setObjectName(QStringLiteral("lblCompareMore"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll, 1);
    layout->addWidget(lblCompareMore);
}

CardComparePane::Panel CardComparePane::makePanel(QWidget *parent, int number)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("frmCompareCard%1").arg(number));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setMinimumWidth(fontMetrics().horizontalAdvance(u'あ') * 12);
    auto *heading = new QLabel(frame);
    heading->setObjectName(QStringLiteral("lblCompareHeading%1").arg(number));
    heading->setTextFormat(Qt::PlainText);
    heading->setWordWrap(true);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *details = new QLabel(frame);
    details->setObjectName(QStringLiteral("lblCompareDetails%1").arg(number));
    details->setTextFormat(Qt::PlainText);
    details->setWordWrap(true);
    details->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(heading);
    layout->addWidget(details, 1);
    return {frame, heading, details};
}

void CardComparePane::showCards(const std::vector<Card> &cards, qsizetype more)
{
    for (size_t i = 0; i < panels_.size(); ++i) {
        const bool used = i < cards.size();
        panels_[i].frame->setVisible(used);
        panels_[i].heading->setText(used ? cards[i].heading : QString());
        panels_[i].details->setText(used ? cards[i].details : QString());
        panels_[i].frame->setAccessibleName(used ? cards[i].heading : QString());
    }
    lblCompareMore->setVisible(more > 0);
    lblCompareMore->setText(QStringLiteral("ほかに %L1 枚を選んでいます").arg(more));
}
