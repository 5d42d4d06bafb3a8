#pragma once

#include <gst/gst.h>

namespace kolu::gstplaybin {

// playbin's flags (its own enumeration, not in a public header): decode the
// audio only, and set the volume in the pipeline rather than on the device.
inline constexpr guint kPlayAudio = 1U << 1;
inline constexpr guint kPlaySoftVolume = 1U << 4;

// Whether GStreamer could be started; it is started once, on first use.
inline bool ready()
{
    static const bool started = [] {
        GError *error = nullptr;
        const bool ok = gst_init_check(nullptr, nullptr, &error);
        if (error)
            g_error_free(error);
        return ok;
    }();
    return started;
}

} // namespace kolu::gstplaybin
