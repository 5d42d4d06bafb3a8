#pragma once

#include <functional>

namespace kolu {

// Qt's X11 platform ends the program with exit() when the connection to the
// display breaks (the X server went away): the event loop never returns and
// nothing after it runs. While a DisplayLoss lives, an exit() on the main
// thread first runs its `beforeExit`, so the program can save what it has
// not saved yet. An ordinary return from main() runs nothing once the
// DisplayLoss is gone. The newest one in place is the one that runs.
class DisplayLoss {
public:
    explicit DisplayLoss(std::function<void()> beforeExit);
    ~DisplayLoss();
    DisplayLoss(const DisplayLoss &) = delete;
    DisplayLoss &operator=(const DisplayLoss &) = delete;

private:
    static void runAtExit();

    std::function<void()> m_beforeExit;
    DisplayLoss *m_previous = nullptr;
};

} // namespace kolu
