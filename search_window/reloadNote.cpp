#include "search_window/reloadNote.h"

#include "search_window/passingNote.h"

ReloadNote::ReloadNote(PassingNote *note) : QObject(note), note_(note)
{}

void ReloadNote::tell(std::shared_ptr<const CardSet> before, std::shared_ptr<const CardSet> after,
                      bool asked)
{
    Comparison comparison{std::move(before), std::move(after), asked};
    if (comparing_.isRunning())
        due_ = std::move(comparison);
    else
        start(comparison);
}

void ReloadNote::start(const Comparison &comparison)
{
    comparing_.start(
        [comparison] {
            return changesNote(compareCards(*comparison.before, *comparison.after),
                               comparison.asked);
        },
        [this](const QString &text) { told(text); });
}

void ReloadNote::told(const QString &text)
{
    if (!text.isEmpty())
        note_->pass(text);
    if (due_)
        start(*std::exchange(due_, std::nullopt));
}
