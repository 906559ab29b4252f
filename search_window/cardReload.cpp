#include "search_window/cardReload.h"

#include "card_data/cardFileReader.h"
#include "card_rules/cardFind.h"

#include <system_error>

std::function<void()> CardReload::beforeFolding;

namespace {

// Everything the window needs of the new file, made on the reading thread. A failure anywhere
// leaves only the problem and the stamp of the file read: nothing is shown until all is made.
ReloadedCards read(const QString &path, bool fold)
{
    ReloadedCards result;
    result.path = path;
    result.cards = mdlZorv::readCards(path);
    if (!fold || !result.cards.outcome.problem.isEmpty())
        return result;
    try {
        if (CardReload::beforeFolding)
            CardReload::beforeFolding();
        result.monsterIndex =
            std::make_unique<cardFind::FindIndex>(result.cards.monsters, cardFind::monsterFields);
        result.magicIndex =
            std::make_unique<cardFind::FindIndex>(result.cards.magic, cardFind::magicFields);
    } catch (const std::bad_alloc &) {
        const mdlZorv::FileStamp stamp = result.cards.outcome.read;
        result = ReloadedCards(); // the memory of the new tables back first
        result.path = path;
        result.cards.outcome.problem = mdlZorv::tooLargeProblem(path);
        result.cards.outcome.read = stamp;
    }
    return result;
}

} // namespace

ReloadedCards::ReloadedCards() = default;
ReloadedCards::ReloadedCards(ReloadedCards &&) noexcept = default;
ReloadedCards &ReloadedCards::operator=(ReloadedCards &&) noexcept = default;
ReloadedCards::~ReloadedCards() = default;

CardReload::CardReload(QObject *parent) : QObject(parent)
{
    connect(this, &CardReload::resultReady, this, &CardReload::collect, Qt::QueuedConnection);
}

CardReload::~CardReload()
{
    if (thread_.joinable())
        thread_.join();
}

// Where no thread can be had, the file is read on this one.
void CardReload::start(const QString &path, bool fold)
{
    running_ = true;
    const auto readAndHandOver = [this, path, fold] {
        ReloadedCards result = read(path, fold);
        {
            const std::lock_guard lock(mutex_);
            result_ = std::move(result);
        }
        Q_EMIT resultReady(QPrivateSignal());
    };
    try {
        thread_ = std::thread(readAndHandOver);
    } catch (const std::system_error &) {
        readAndHandOver();
    }
}

ReloadedCards CardReload::take()
{
    const std::lock_guard lock(mutex_);
    ReloadedCards result = std::move(*result_);
    result_.reset();
    return result;
}

void CardReload::collect()
{
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    Q_EMIT finished();
}
