#pragma once

#include "card_rules/cardChanges.h"
#include "search_window/backgroundTask.h"

#include <QObject>

#include <memory>
#include <optional>

class PassingNote;

// Tells in a passing note what reading the card file again changed, worked out in the background
// from the card sets shown before and after; a read that follows one still being compared is
// compared next.
class ReloadNote final : public QObject
{
public:
    explicit ReloadNote(PassingNote *note);

    // asked: the user asked for the read, and is told when nothing changed too.
    void tell(std::shared_ptr<const CardSet> before, std::shared_ptr<const CardSet> after,
              bool asked);

private:
    struct Comparison
    {
        std::shared_ptr<const CardSet> before;
        std::shared_ptr<const CardSet> after;
        bool asked;
    };
    void start(const Comparison &comparison);
    void told(const QString &text);

    PassingNote *note_;
    std::optional<Comparison> due_;
    BackgroundTask<QString> comparing_;
};
