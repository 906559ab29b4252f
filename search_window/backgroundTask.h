#pragma once

#include <QObject>

#include <functional>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

// Tells, on the thread it lives on, that a task's job has ended.
class TaskEnded final : public QObject
{
    Q_OBJECT

Q_SIGNALS:
    void ended(); // from the job's thread
};

// Runs one job at a time on a thread of its own while the window goes on, and hands the job's
// result, by value, to a completion that runs on the thread that started it once the job's thread
// has ended and been joined: the result is only ever read after that, so nothing is shared while
// the job runs. A task destroyed while its job runs waits for the job, and its completion never
// runs.
//
// The job must not throw: a job that can run short of memory says so in its result.
template <typename Result> class BackgroundTask
{
public:
    using Job = std::function<Result()>;
    using Done = std::function<void(Result)>;

    BackgroundTask()
    {
        QObject::connect(
            &ended_, &TaskEnded::ended, &ended_, [this] { finish(); }, Qt::QueuedConnection);
    }
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
            result_.emplace(job());
            Q_EMIT ended_.ended();
        };
        try {
            thread_ = std::thread(runAndHandBack);
        } catch (const std::system_error &) {
            runAndHandBack();
        }
    }

private:
    void finish()
    {
        if (thread_.joinable())
            thread_.join();
        running_ = false;
        const Done done = std::exchange(done_, {});
        Result result = std::move(*result_);
        result_.reset();
        done(std::move(result));
    }

    TaskEnded ended_; // lives on the starting thread, and takes the completions there
    bool running_ = false;
    Done done_;
    std::optional<Result> result_; // written by the job's thread, read once it is joined
    std::thread thread_;
};
