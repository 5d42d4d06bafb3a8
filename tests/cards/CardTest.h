#pragma once

#include "model/UserDefaults.h"
#include "state/AppState.h"

#include "EventWait.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QSize>
#include <QWidget>

#include <memory>

namespace kolu::test {

// A one-colour picture of `size`, encoded as PNG.
inline QByteArray pngBytes(QSize size = {8, 8}, QColor color = Qt::red)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

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

    void SetUp() override { state = std::make_unique<AppState>(defaults, clock, services.take()); }
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

    // Writes `name` under the home's Files folder and gives its path.
    QString makeFile(const QString &name, const QByteArray &bytes = "held")
    {
        const QString path = home.path(QStringLiteral("Files/") + name);
        EXPECT_TRUE(writeFile(path, bytes));
        return path;
    }
};

} // namespace kolu::test
