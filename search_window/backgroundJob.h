#pragma once

#include <QObject>

#include <functional>
#include <thread>

// Runs one job at a time on a thread of its own while the window goes on. done() is told on the
// window's thread once the job has ended: what the job wrote may be read from then on, since the
// thread has been joined.
class BackgroundJob final : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundJob(QObject *parent = nullptr);
    ~BackgroundJob() override; // waits for a job under way

    bool isRunning() const { return running_; }
    // Starts the job; nothing may be running. Where no thread can be had, the job runs at once on
    // this one, and done() follows as it would.
    void start(std::function<void()> job);

Q_SIGNALS:
    void done();
    void ended(QPrivateSignal); // from the job's thread

private:
    void collect();

    bool running_ = false;
    std::thread thread_;
};
