#pragma once

#include "platform/desktop/DesktopPicture.h"
#include "platform/desktop/FolderPicker.h"
#include "platform/desktop/UrlOpener.h"
#include "platform/media/SoundPlayer.h"
#include "platform/notifications/NotificationServer.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// In-process fakes of the platform's smaller services: each records what it
// is asked and answers as the test tells it.
namespace kolu::test {

// Records each sound it is asked to play instead of playing it.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &path, float volume) override { played.emplace_back(path, volume); }
    void beep() override { ++beeps; }

    std::vector<std::pair<QString, float>> played;
    int beeps = 0;
};

// Records every address it is asked to open and opens nothing.
class RecordingUrlOpener final : public UrlOpener {
public:
    bool openUrl(const QUrl &url) override
    {
        opened.append(url);
        return true;
    }

    QList<QUrl> opened;
};

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

// A desktop whose picture setter records each call and answers as told.
class FakeDesktopPicture final : public DesktopPicture {
public:
    DisplayLayout layout{{QStringLiteral("DP-1"), QStringLiteral("HDMI-1")}, QStringLiteral("DP-1")};
    DesktopPictureResult result;
    std::optional<DesktopPictureError> failure;
    QList<QPair<QString, DisplayTarget>> calls;

    DisplayLayout displays() const override { return layout; }
    QCoro::Task<DesktopPictureResult> setPicture(QString imagePath, DisplayTarget target) override
    {
        calls.append({imagePath, target});
        if (failure)
            throw *failure;
        co_return result;
    }
};

// A folder picker that answers with `answer` and records what it was asked.
class FakeFolderPicker final : public FolderPicker {
public:
    std::optional<QString> answer;
    QList<FolderPickerOptions> asked;

    QCoro::Task<std::optional<QString>> chooseFolder(FolderPickerOptions options) override
    {
        asked.append(options);
        co_return answer;
    }
};

} // namespace kolu::test
