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

// Starts GStreamer and loads the player element's plugin, the slow part of
// a first sound: safe on any thread.
inline void prepare()
{
    if (!ready())
        return;
    if (GstElementFactory *factory = gst_element_factory_find("playbin")) {
        if (GstPluginFeature *loaded = gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory)))
            gst_object_unref(loaded);
        gst_object_unref(factory);
    }
}

} // namespace kolu::gstplaybin
