#pragma once

#include "model/Error.h"

#include <QString>
#include <QStringList>

#include <qcoro/qcorotask.h>

namespace kolu {

// The displays as the windowing system reports them.
struct DisplayLayout {
    QStringList names; // output names ("HDMI-1"), in the system's order
    QString primary;   // the main display's name; empty when there is none

    bool isEmpty() const { return names.isEmpty(); }
};

enum class DisplayTarget { mainDisplay, allDisplays };

struct DesktopPictureResult {
    // The main display alone was asked for, but this desktop can only set
    // one picture for every display, so every display got it.
    bool setOnEveryDisplayInstead = false;
};

class DesktopPictureError : public Error {
public:
    enum class Kind {
        noDisplay, // no display to set a picture on
        noSetter,  // neither the desktop's own way nor an X11 tool is there
        failed,    // the desktop or tool refused; the description is its message
    };

    DesktopPictureError(Kind kind, QString description);
    ~DesktopPictureError() override;

    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// Sets the desktop picture.
class DesktopPicture {
public:
    virtual ~DesktopPicture();

    virtual DisplayLayout displays() const = 0;

    // Shows the image file `imagePath` as desktop picture, scaled to fill
    // each display and cropped where the proportions differ.
    virtual QCoro::Task<DesktopPictureResult> setPicture(QString imagePath, DisplayTarget target) = 0;
};

} // namespace kolu
