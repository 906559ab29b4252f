#include "search_window/cardFileSession.h"

#include <utility>

CardFileSession::CardFileSession(QObject *parent) : QObject(parent)
{
    connect(&watcher_, &CardFileWatcher::changed, this, &CardFileSession::startRead);
}

CardFileSession::~CardFileSession() = default;

// Watched from before it is read, so that a save made while the program starts is read again.
mdlZorv::LoadOutcome CardFileSession::load(const QString &path)
{
    watcher_.watch(path);
    lastRead_ = mdlZorv::loadCardFile(path);
    watcher_.readFrom(lastRead_.read);
    return lastRead_;
}

void CardFileSession::reload()
{
    reloadAsked_ = true;
    watcher_.readWhenSettled();
}

void CardFileSession::open(const QString &path)
{
    fileToOpen_ = path;
    startRead();
}

QStringList CardFileSession::filesInUse() const
{
    QStringList files = {path(), fileBeingRead_, fileToOpen_,
                         awaitingConsent_ ? awaitingConsent_->path : QString()};
    files.removeAll(QString());
    files.removeDuplicates();
    return files;
}

void CardFileSession::startRead()
{
    if (reading_.isRunning())
        return;
    const bool openAsked = !fileToOpen_.isEmpty();
    fileBeingRead_ = openAsked ? std::exchange(fileToOpen_, {}) : path();
    const cardReload::Request request{.path = fileBeingRead_,
                                      .withFindIndexes = findIndexesWanted_,
                                      .readingsBy = readingsBy_,
                                      .opened = fileBeingRead_ != path(),
                                      .asked = std::exchange(reloadAsked_, false) || openAsked};
    reading_.start([request] { return cardReload::read(request); },
                   [this](cardReload::ReadCards read) { finishRead(std::move(read)); });
}

// A file read, in full or while it was written, is the one followed from then on, and is looked
// at again once it has settled if it is no longer the file read.
void CardFileSession::finishRead(cardReload::ReadCards read)
{
    fileBeingRead_.clear();
    const mdlZorv::LoadOutcome &outcome = read.cards.outcome;
    const bool failed = !outcome.problem.isEmpty() && !outcome.changedWhileRead;
    if (failed) {
        if (!read.opened)
            watcher_.readFrom(outcome.read);
        Q_EMIT readFailed(outcome.problem);
    } else if (read.opened && !outcome.changedWhileRead && !mdlZorv::looksLikeCardData(outcome)) {
        const QString opened = read.path;
        awaitingConsent_ = std::make_unique<cardReload::ReadCards>(std::move(read));
        Q_EMIT consentWanted(opened);
    } else {
        follow(std::move(read));
    }
    if (!fileToOpen_.isEmpty())
        startRead();
}

void CardFileSession::follow(cardReload::ReadCards read)
{
    const mdlZorv::LoadOutcome &outcome = read.cards.outcome;
    if (read.path != path())
        watcher_.watch(read.path);
    watcher_.readFrom(outcome.read);
    if (outcome.changedWhileRead)
        return;
    lastRead_ = outcome;
    Q_EMIT cardsRead(std::make_shared<cardReload::ReadCards>(std::move(read)));
}

void CardFileSession::acceptOpened()
{
    if (awaitingConsent_)
        follow(std::move(*std::exchange(awaitingConsent_, nullptr)));
}

void CardFileSession::declineOpened()
{
    awaitingConsent_.reset();
}
