#pragma once

#include "model/UserDefaults.h"
#include "platform/net/backend/QtNetwork.h"
#include "services/info/OrlixUpdateController.h"
#include "settings/SettingsView.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include "../style/ColorMeasure.h"
#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>

#include <algorithm>

#include <memory>

namespace kolu::test {

// A state on test services in a temporary home, the style on the same
// defaults, and an update controller that is not configured.
class SettingsTest : public ::testing::Test {
protected:
    TemporaryHome home;
    ManualClock clock;
    UserDefaults defaults;
    OrlixStyle style{defaults};
    TestAppServices services{defaults, clock, home};
    QtNetwork network;
    OrlixUpdateController updates{network, defaults, std::nullopt, clock};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());

    // The settings window, shown at `page`.
    std::unique_ptr<SettingsView> open(OrlixSettingsPage page)
    {
        auto view = std::make_unique<SettingsView>(*state, updates);
        view->setSelectedPage(page);
        view->show();
        return view;
    }

    // The part of `parent` named `name`.
    template<typename T = QWidget>
    static T *child(const QWidget &parent, const QString &name)
    {
        auto *found = parent.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    template<typename T = QWidget>
    static T *child(const QWidget &parent, const char *name)
    {
        return child<T>(parent, QString::fromLatin1(name));
    }

    // Moves every running, finite animation under `root` `ms` on (to its end
    // when negative).
    static void advanceAnimations(const QObject &root, int ms = -1)
    {
        for (QAbstractAnimation *a : root.findChildren<QAbstractAnimation *>())
            if (a->state() == QAbstractAnimation::Running && a->loopCount() != -1)
                a->setCurrentTime(ms < 0 ? a->totalDuration() : std::min(a->currentTime() + ms, a->totalDuration()));
    }
};

} // namespace kolu::test
