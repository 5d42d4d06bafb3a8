#include "platform/x11/DisplayLoss.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdlib>

namespace kolu {

namespace {

// Touched on the main thread only.
DisplayLoss *g_current = nullptr;
bool g_registered = false;

} // namespace

DisplayLoss::DisplayLoss(std::function<void()> beforeExit)
    : m_beforeExit(std::move(beforeExit))
    , m_previous(g_current)
{
    g_current = this;
    // Registered once and as late as possible: handlers run in the reverse
    // order of registration, so this one runs before the library state set
    // up earlier is torn down.
    if (!g_registered)
        g_registered = std::atexit(&DisplayLoss::runAtExit) == 0;
}

DisplayLoss::~DisplayLoss()
{
    if (g_current == this)
        g_current = m_previous;
}

void DisplayLoss::runAtExit()
{
    DisplayLoss *current = g_current;
    const QCoreApplication *app = QCoreApplication::instance();
    // An exit() from a worker leaves the main thread running: touching its
    // objects from here would race with it.
    if (!current || !app || QThread::currentThread() != app->thread())
        return;
    g_current = nullptr;
    const std::function<void()> beforeExit = std::move(current->m_beforeExit);
    if (beforeExit)
        beforeExit();
}

} // namespace kolu
