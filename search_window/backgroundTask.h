#pragma once

#include <QObject>

#include <functional>
#include <system_error>
#include <thread>
#include <utility>

// Runs one job at a time on a thread of its own while the window goes on, and hands the job's
// result, by value, to a completion that runs on the thread that started it once the job's thread
// has ended. Nothing the job makes is reachable before then, so nothing is shared while it runs.
// A task destroyed while its job runs waits for the job, and its completion never runs.
//
// The job must not throw: a job that can run short of memory says so in its result.
template <typename Result> class BackgroundTask
{
public:
    using Job = std::function<Result()>;
    using Done = std::function<void(Result)>;

    BackgroundTask() = default;
    ~BackgroundTask()
    {
        if (thread_.joinable())
            thread_.join();
    }
    BackgroundTask(const BackgroundTask &) = delete;
    BackgroundTask &operator=(const BackgroundTask &) = delete;

    bool isRunning() const { return running_; }

    // Starts the job; none may be running. Where no thread can be had, the job runs at once on
    // this thread, and its completion still follows from the event loop.
    void start(Job job, Done done)
    {
        running_ = true;
        done_ = std::move(done);
        const auto runAndHandBack = [this, job = std::move(job)] {
            handBack(job());
        };
        try {
            thread_ = std::thread(runAndHandBack);
        } catch (const std::system_error &) {
            runAndHandBack();
        }
    }

private:
    // On the job's thread: the result travels in the posted call, which the receiver's
    // destruction discards.
    void handBack(Result result)
    {
        QMetaObject::invokeMethod(
            &receiver_, [this, result = std::move(result)]() mutable { finish(std::move(result)); },
            Qt::QueuedConnection);
    }

    void finish(Result result)
    {
        if (thread_.joinable())
            thread_.join();
        running_ = false;
        const Done done = std::exchange(done_, {});
        done(std::move(result));
    }

    QObject receiver_; // lives on the starting thread, and takes the completions there
    bool running_ = false;
    Done done_;
    std::thread thread_;
};
