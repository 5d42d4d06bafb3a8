#pragma once

#include "platform/desktop/DesktopPicture.h"
#include "platform/desktop/FolderPicker.h"

#include <QList>
#include <QPair>

#include <optional>

namespace kolu::test {

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
