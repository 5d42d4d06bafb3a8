#pragma once

#include "model/UserDefaults.h"
#include "state/AppState.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QSize>
#include <QWidget>

#include <memory>

namespace kolu::test {

// What every card test stands on: a temporary home, a manual clock, the
// settings store and a state over the test services. The state is made in
// SetUp, after a fixture's own members (a pinned zone, say); the card is
// made on demand, `cardSize` when one is set, and its parts are found by
// object name.
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
};

} // namespace kolu::test
