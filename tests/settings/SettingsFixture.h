#pragma once

#include "model/UserDefaults.h"
#include "services/info/OrlixUpdateController.h"
#include "state/AppState.h"
#include "style/OrlixStyle.h"

#include "ManualClock.h"
#include "TemporaryHome.h"
#include "TestAppServices.h"

#include <gtest/gtest.h>

#include <QNetworkAccessManager>

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
    QNetworkAccessManager network;
    OrlixUpdateController updates{network, defaults, std::nullopt, clock};
    std::unique_ptr<AppState> state = std::make_unique<AppState>(defaults, clock, services.take());
};

} // namespace kolu::test
