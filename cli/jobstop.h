// Stopping a zentova-print job from outside: Ctrl-C, SIGTERM and the --timeout deadline.
#pragma once

#include <chrono>
#include <string>

// While it lives, SIGINT and SIGTERM no longer end the program at once but ask the job to
// stop, so that a half-written output can be thrown away; a second signal ends the
// program as usual. requested() is what the job's stop hook asks.
class JobStop {
public:
    // `timeoutSeconds` 0: no deadline.
    explicit JobStop(int timeoutSeconds);
    ~JobStop();
    JobStop(const JobStop &) = delete;
    JobStop &operator=(const JobStop &) = delete;

    // True once a signal came or the deadline passed.
    bool requested() const;

    // Why the job stopped, for the message ("" when it was not stopped).
    std::string reason() const;

    // The exit status of a stopped job: 124 after the deadline, 128 + the signal otherwise.
    int exitStatus() const;

    // The signal the last JobStop noted (0 for none), also one that came after its job
    // had looked for the last time: a loop of jobs must not lose a Ctrl-C.
    static int LastSignal();

private:
    int m_timeoutSeconds;
    std::chrono::steady_clock::time_point m_deadline;
};
