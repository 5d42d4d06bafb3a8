#include "platform/calendar/CalendarReadQueue.h"

namespace kolu {

CalendarReadQueue::CalendarReadQueue()
    : m_state(std::make_shared<State>())
{
}

void CalendarReadQueue::startNext(const std::shared_ptr<State> &state)
{
    if (state->running || state->waiting.empty())
        return;
    Turn turn = std::move(state->waiting.front());
    state->waiting.pop_front();
    state->running = true;
    ++state->started;
    turn.start([state] {
        state->running = false;
        startNext(state);
    });
}

} // namespace kolu
