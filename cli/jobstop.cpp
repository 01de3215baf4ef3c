// Signal handling and the deadline of zentova-print's --timeout.
#include "jobstop.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t g_signal = 0;

void noteSignal(int number)
{
    g_signal = number;
}

void setHandler(int number, void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
}

} // namespace

JobStop::JobStop(int timeoutSeconds)
    : m_timeoutSeconds(timeoutSeconds),
      m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds))
{
    g_signal = 0;
    // SA_RESETHAND: the second Ctrl-C finds the default action again and ends the program
    // even if the job no longer looks at its stop hook.
    setHandler(SIGINT, noteSignal, SA_RESETHAND);
    setHandler(SIGTERM, noteSignal, SA_RESETHAND);
}

JobStop::~JobStop()
{
    setHandler(SIGINT, SIG_DFL, 0);
    setHandler(SIGTERM, SIG_DFL, 0);
}

bool JobStop::requested() const
{
    return g_signal != 0 ||
           (m_timeoutSeconds > 0 && std::chrono::steady_clock::now() >= m_deadline);
}

std::string JobStop::reason() const
{
    if (g_signal == SIGINT)
        return "interrupted";
    if (g_signal != 0)
        return "terminated";
    if (requested())
        return "stopped after " + std::to_string(m_timeoutSeconds) + " s (--timeout)";
    return "";
}

int JobStop::exitStatus() const
{
    return g_signal != 0 ? 128 + g_signal : 124;
}

int JobStop::LastSignal()
{
    return g_signal;
}
