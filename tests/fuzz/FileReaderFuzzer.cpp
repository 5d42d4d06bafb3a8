// Feeds arbitrary bytes to one stored-file reader. Whatever the bytes, the
// reader must not crash, and a value it accepts must survive a write and a
// second read unchanged.
#include "model/PersistedFiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Format = kolu::KOLU_FUZZ_FORMAT;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto value = Format::decode(bytes);
    if (!value)
        return 0;
    const QByteArray written = Format::encode(*value);
    const auto reread = Format::decode(written);
    if (!reread || Format::encode(*reread) != written)
        std::abort();
    return 0;
}
