#pragma once

#include <QWidget>

#include <vector>

class QLabel;

// Cards side by side, to compare them: each card's number and name as a heading, its details
// below, and a line saying how many more are selected than it shows.
class CardComparePane final : public QWidget
{
    Q_OBJECT

public:
    struct Card
    {
        QString heading; // "001  白翼の歌い手"
        QString details; // lines ended by line feeds
    };
    // The most cards shown side by side.
    static constexpr int mostCards = 8;

    explicit CardComparePane(QWidget *parent);

    // Shows the cards (at most mostCards), and that more are selected beside them.
    void showCards(const std::vector<Card> &cards, qsizetype more);

private:
    struct Panel
    {
        QWidget *frame;
        QLabel *heading;
        QLabel *details;
    };
    Panel makePanel(QWidget *parent, int number);

    std::vector<Panel> panels_;
    QLabel *lblCompareMore = nullptr;
};
