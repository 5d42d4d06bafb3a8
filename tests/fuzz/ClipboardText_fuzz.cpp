// Feeds arbitrary bytes to the clipboard's text and file-list readings, as
// another program could offer them. Whatever the bytes: no crash, and an
// entry that comes out respects the bounds.
#include "services/clipboard/ClipboardCapture.h"
#include "services/clipboard/ClipboardRules.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)kolu::clipboard::firstLocalFile(bytes);
    (void)kolu::clipboard::firstURL(bytes);

    kolu::PasteboardReading reading;
    reading.kind = kolu::PasteboardReading::Kind::text;
    reading.text = QString::fromUtf8(bytes);
    const auto capture = kolu::prepareCapture(reading);
    if (!capture)
        return 0;
    if (capture->value.size() > kolu::clipboard::kMaxKeptTextLength
        || capture->title.size() > kolu::clipboard::kMaxTitleUnits || capture->fingerprint.isEmpty())
        std::abort();
    if (capture->kind == kolu::ClipboardItemKind::link && capture->sourceURL != capture->value)
        std::abort();
    return 0;
}
