#include "search_window/backgroundJob.h"

#include <system_error>

BackgroundJob::BackgroundJob(QObject *parent) : QObject(parent)
{
    connect(this, &BackgroundJob::ended, this, &BackgroundJob::collect, Qt::QueuedConnection);
}

BackgroundJob::~BackgroundJob()
{
    if (thread_.joinable())
        thread_.join();
}

void BackgroundJob::start(std::function<void()> job)
{
    running_ = true;
    const auto runAndTell = [this, job = std::move(job)] {
        job();
        Q_EMIT ended(QPrivateSignal());
    };
    try {
        thread_ = std::thread(runAndTell);
    } catch (const std::system_error &) {
        runAndTell();
    }
}

void BackgroundJob::collect()
{
    if (thread_.joinable())
        thread_.join();
    running_ = false;
    Q_EMIT done();
}
