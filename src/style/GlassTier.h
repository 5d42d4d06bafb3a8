#pragma once

namespace kolu {

// How honestly glass can be painted on this desktop.
//   blurred      a compositor blends and blurs behind our shapes: the
//                materials are translucent as designed
//   translucent  a compositor blends but does not blur: materials are denser
//                so text stays readable over any wallpaper
//   opaque       nothing composites: opaque fills, no outer shadow
enum class GlassTier { blurred, translucent, opaque };

inline GlassTier glassTierFor(bool compositing, bool blurBehind)
{
    if (!compositing)
        return GlassTier::opaque;
    return blurBehind ? GlassTier::blurred : GlassTier::translucent;
}

} // namespace kolu
