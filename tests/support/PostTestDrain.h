#pragma once

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

namespace kolu::test {

// Runs what a test's teardown left queued once its fixture is gone: a request
// cancelled because its services went resumes its caller from the event loop,
// and without this turn the caller would stay suspended (and its frame held)
// until the process ends.
class PostTestDrain : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

inline void installPostTestDrain()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new PostTestDrain);
}

} // namespace kolu::test
