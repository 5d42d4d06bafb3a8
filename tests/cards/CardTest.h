#pragma once

#include "model/UserDefaults.h"
#include "state/AppState.h"
#include "style/Motion.h"
#include "style/widgets/ElidedLabel.h"

#include "EncodedImage.h"
#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QAbstractButton>
#include <QAnimationDriver>
#include <QBuffer>
#include <QImage>
#include <QSize>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <ctime>
#include <memory>

namespace kolu::test {

// Animation time moved by the test alone, with motion on while it lives.
// Like the toolkit's own driver it counts from each start, so an animation
// begun after the others came to rest does not take the time that passed
// meanwhile as its first step.
class Frames : public QAnimationDriver {
public:
    Frames()
    {
        OrlixMotion::setEnabled(true);
        install();
    }
    ~Frames() override
    {
        uninstall();
        OrlixMotion::setEnabled(false);
    }

    void advanceBy(qint64 ms)
    {
        while (ms > 0) {
            QCoreApplication::processEvents();
            const qint64 step = std::min<qint64>(ms, 16);
            m_now += step;
            ms -= step;
            advance();
            QCoreApplication::sendPostedEvents(); // the layouts follow
        }
    }
    qint64 elapsed() const override { return m_now - m_startedAt; }

protected:
    void start() override
    {
        m_startedAt = m_now;
        QAnimationDriver::start();
    }

private:
    qint64 m_now = 0;
    qint64 m_startedAt = 0;
};

// Pins the process's local time zone (TZ) for the life of the object.
class PinnedZone {
public:
    explicit PinnedZone(const char *zone)
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~PinnedZone()
    {
        m_had ? qputenv("TZ", m_old) : qunsetenv("TZ");
        ::tzset();
    }

private:
    QByteArray m_old = qgetenv("TZ");
    bool m_had = qEnvironmentVariableIsSet("TZ");
};

// Whether any animation below `root` still runs: nothing keeps a timer
// running once everything has arrived.
inline bool anyRunning(const QObject &root)
{
    const auto animations = root.findChildren<QAbstractAnimation *>();
    return std::any_of(animations.begin(), animations.end(),
                       [](const QAbstractAnimation *a) { return a->state() == QAbstractAnimation::Running; });
}

// Whether `value` lies strictly between `low` and `high`: part of the way.
inline ::testing::AssertionResult between(double value, double low, double high)
{
    if (value > low && value < high)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << value << " is not between " << low << " and " << high;
}

// Lets deferred work and deletions run.
inline void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every card test checks where a change lands, so the suite runs with motion
// off; the cases on motion turn it on for themselves with `Frames`.
class StillMotion : public ::testing::Environment {
public:
    void SetUp() override { OrlixMotion::setEnabled(false); }
};
inline const auto *const g_stillMotion = ::testing::AddGlobalTestEnvironment(new StillMotion);

// What every card test stands on: a temporary home, a manual clock, the
// settings store and a state over the test services. The state is made in
// SetUp, after a fixture's own members (a pinned zone, say); the card is
// made on demand, `cardSize` when one is set, and its parts are found by
// object name. After the test the card goes first, then the fixture waits
// until `idle()` holds, so no work outlives the state.
template<typename Card>
class CardTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    TestAppServices services{defaults, clock, home};
    std::unique_ptr<AppState> state;
    std::unique_ptr<Card> card;
    QSize cardSize;

    void SetUp() override { state = std::make_unique<AppState>(defaults, clock, makeServices()); }
    virtual AppServices makeServices() { return services.take(); }
    void TearDown() override
    {
        card.reset();
        waitUntil([&] { return idle(); });
    }
    virtual bool idle() const { return true; }

    Card &makeCard()
    {
        card = std::make_unique<Card>(*state);
        if (cardSize.isValid())
            card->resize(cardSize);
        card->show();
        return *card;
    }

    template<typename T = QWidget>
    T *find(const QString &name) const
    {
        T *widget = card->template findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    QString text(const QString &name) const { return find<ElidedLabel>(name)->text(); }
    void click(const QString &name) const { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    // Waits until the card's background work is done.
    void waitIdle() const
    {
        ASSERT_TRUE(waitUntil([&] { return idle(); }));
    }

    // Writes `name` under the home's Files folder and gives its path.
    QString makeFile(const QString &name, const QByteArray &bytes = "held")
    {
        const QString path = home.path(QStringLiteral("Files/") + name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
};

} // namespace kolu::test
