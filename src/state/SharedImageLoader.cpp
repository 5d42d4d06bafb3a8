#include "services/images/ImageLoader.h"

#include "state/AppState.h"

using namespace Qt::StringLiterals;

namespace kolu {

// The one loader is a child of the state, found by its name, so it goes
// with the state and nothing else has to hold it.
ImageLoader &ImageLoader::of(AppState &state)
{
    if (auto *loader = state.findChild<ImageLoader *>(u"imageLoader"_s, Qt::FindDirectChildrenOnly))
        return *loader;
    return *new ImageLoader(state.network(), state.clock(), &state);
}

} // namespace kolu
