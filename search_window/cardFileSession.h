#pragma once

#include "card_data/mdlZorv.h"
#include "search_window/backgroundTask.h"
#include "search_window/cardFileWatcher.h"
#include "search_window/cardReload.h"

#include <QObject>

#include <memory>

// The card file the cards come from, followed while the program runs: watched from before it is
// first read, read again in the background whenever it changes on disk or the user asks, and
// replaced by another file the user opens. One read runs at a time: a file to open waits for the
// read under way (a newer one replacing it), and a change during a read is not lost, since the
// file is looked at again once the read is done. A file that changed while it was read is read
// again once it has settled, without a word: it was being saved. A file that cannot be read
// leaves the cards shown, and another file that cannot be opened leaves the followed one
// followed. Another file that does not look like a card file (most lines undecodable, or none
// with the fields of a card) waits for the user's consent before it replaces the cards shown.
class CardFileSession final : public QObject
{
    Q_OBJECT

public:
    explicit CardFileSession(QObject *parent = nullptr);
    ~CardFileSession() override;

    // Reads the card file into mdlZorv's tables, as the program starts, and follows it.
    mdlZorv::LoadOutcome load(const QString &path);
    // Reads the followed file again, once it is not being written.
    void reload();
    // Reads another card file, and follows it from then on if it can be read.
    void open(const QString &path);
    // Whether the cards read come with their find indexes (while the find bar is open).
    void setFindIndexesWanted(bool wanted) { findIndexesWanted_ = wanted; }
    // The dictionary the cards read make their readings by, from now on; none for no readings.
    void setReadingsBy(std::shared_ptr<const nameReadings::Dictionary> dictionary)
    {
        readingsBy_ = std::move(dictionary);
    }

    // The file followed.
    QString path() const { return watcher_.path(); }
    // How the file was read whose cards were handed on last.
    const mdlZorv::LoadOutcome &lastRead() const { return lastRead_; }
    // The files being followed, read, waiting to be read or waiting for consent: never to be
    // written over.
    QStringList filesInUse() const;
    // Whether a change of the file waits to settle or a read is under way.
    bool isBusy() const { return watcher_.isSettling() || reading_.isRunning(); }
    // The file read that waits for consent: followed, its cards handed on, or forgotten.
    void acceptOpened();
    void declineOpened();

Q_SIGNALS:
    // A file was read in full: its cards are the receiver's to show.
    void cardsRead(const std::shared_ptr<cardReload::ReadCards> &cards);
    // A file could not be read: the cards shown stay.
    void readFailed(const QString &problem);
    // Another file was read that does not look like a card file: the user is to say whether it
    // replaces the cards shown (acceptOpened) or not (declineOpened).
    void consentWanted(const QString &path);

private:
    void startRead();
    void finishRead(cardReload::ReadCards read);
    void follow(cardReload::ReadCards read);

    CardFileWatcher watcher_;
    QString fileToOpen_; // read once the read under way is done
    QString fileBeingRead_;
    std::unique_ptr<cardReload::ReadCards> awaitingConsent_;
    mdlZorv::LoadOutcome lastRead_;
    bool findIndexesWanted_ = false;
    std::shared_ptr<const nameReadings::Dictionary> readingsBy_;
    bool reloadAsked_ = false;
    BackgroundTask<cardReload::ReadCards> reading_; // last: ends, and waits, first
};
