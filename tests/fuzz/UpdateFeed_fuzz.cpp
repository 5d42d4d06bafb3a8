// Feeds arbitrary bytes to the update feed reader. It must either name a
// release that holds up (a comparable build number, an https download page) or
// throw UpdateError; nothing else.
#include "services/info/UpdateFeed.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const kolu::UpdateFeedItem release = kolu::newestRelease(bytes);
        if (kolu::compareBuildNumbers(release.build, release.build) != 0 || release.downloadPage.host().isEmpty()
            || release.downloadPage.scheme().toLower() != u"https"_s)
            std::abort();
    } catch (const kolu::UpdateError &) {
    }
    return 0;
}
