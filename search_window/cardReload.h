#pragma once

#include "card_data/mdlZorv.h"

#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace cardFind {
class FindIndex;
}

// What a read of the card file in the background made: the new tables, and the folded texts of
// the monster and magic tables where the find bar asked for them.
struct ReloadedCards
{
    ReloadedCards();
    ReloadedCards(ReloadedCards &&) noexcept;
    ReloadedCards &operator=(ReloadedCards &&) noexcept;
    ~ReloadedCards();

    QString path; // of the file read
    mdlZorv::LoadedCards cards;
    std::unique_ptr<cardFind::FindIndex> monsterIndex;
    std::unique_ptr<cardFind::FindIndex> magicIndex;
};

// Reads the card file again on a thread of its own, one read at a time, while the window goes on
// with the cards it shows; the finished tables are then handed to the window's thread.
class CardReload final : public QObject
{
    Q_OBJECT

public:
    explicit CardReload(QObject *parent = nullptr);
    ~CardReload() override; // waits for a read under way

    bool isRunning() const { return running_; }
    // Starts reading path, and folding the new tables' texts for the find bar if fold is set.
    // Nothing may be running.
    void start(const QString &path, bool fold);
    // The result of the read, once finished() has been told.
    ReloadedCards take();

    // A seam for tests, empty in the program: runs on the reading thread before the texts are
    // folded.
    static std::function<void()> beforeFolding;

Q_SIGNALS:
    void finished();
    void resultReady(QPrivateSignal); // from the reading thread

private:
    void collect();

    bool running_ = false;
    std::thread thread_;
    std::mutex mutex_;
    std::optional<ReloadedCards> result_;
};
