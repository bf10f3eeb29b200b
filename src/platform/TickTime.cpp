#include "platform/TickTime.h"

namespace {
thread_local std::optional<SteadyTime> g_due;
}

std::optional<SteadyTime> currentTickDue()
{
    return g_due;
}

TickScope::TickScope(SteadyTime due) : outer_(g_due)
{
    g_due = due;
}

TickScope::~TickScope()
{
    g_due = outer_;
}
