#pragma once

#include "platform/notifications/NotificationServer.h"

#include <vector>

namespace kolu::test {

// An in-process notification server that records every banner.
class RecordingNotificationServer final : public NotificationServer {
public:
    struct Banner {
        NotificationContent content;
        quint32 replacesId = 0;
        quint32 id = 0;
    };

    QCoro::Task<quint32> notify(NotificationContent content, quint32 replacesId) override
    {
        const quint32 id = replacesId != 0 ? replacesId : ++m_lastId;
        banners.push_back({std::move(content), replacesId, id});
        co_return id;
    }

    QCoro::Task<NotificationAuthorization> authorization() override { co_return NotificationAuthorization{true, true}; }

    std::vector<Banner> banners;

private:
    quint32 m_lastId = 0;
};

} // namespace kolu::test
