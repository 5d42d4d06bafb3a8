#pragma once

#include "platform/windowing/PanelWindowing.h"

namespace kolu {

// Stands in off X11 or without a display: the panel stays an ordinary
// window and every request is dropped.
class NullPanelWindowing final : public PanelWindowing {
public:
    bool isAvailable() const override { return false; }
    void prepare(quint32) override { }
    void requestStates(quint32) override { }
    void raise(quint32) override { }
    void setAcceptsFocus(quint32, bool) override { }
    void setInputRegion(quint32, const QRegion &) override { }
    void setVisibleRegion(quint32, const std::optional<QRegion> &) override { }
};

} // namespace kolu
