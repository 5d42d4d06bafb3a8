#pragma once

#include "platform/x11/Compositor.h"

namespace kolu {

// Stands in off X11: nothing is blended or blurred.
class NullCompositor final : public Compositor {
public:
    bool isCompositing() const override { return false; }
    bool hasBlurBehind() const override { return false; }
    void setBlurBehind(quint32, const QRegion &) override { }
};

} // namespace kolu
