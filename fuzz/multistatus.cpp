// The reader of a server's WebDAV answers on any bytes: no crash, no hang, and every item it
// accepts has an address.

#include "dav/multistatus.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<dav::Multistatus> read = dav::readMultistatus(bytes);
    if (!read)
        return 0;
    for (const dav::DavItem &item : read->items)
        FUZZ_CHECK(!item.href.isEmpty());
    return 0;
}
