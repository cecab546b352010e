// libFuzzer target for the recovery metadata reader, which runs at every
// start-up on whatever is in the state folder: any bytes must read without
// crashing or hanging, and what it accepts must write and read back the same.
// Run from a fuzz build: fuzz_recoverymeta -max_len=70000 fuzz/corpus-recovery

#include "core/deck/recovery.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<mdk::recovery::Meta> meta = mdk::recovery::readMeta(bytes);
    if (!meta)
        return 0;
    const std::optional<mdk::recovery::Meta> again = mdk::recovery::readMeta(mdk::recovery::writeMeta(*meta));
    if (!again || again->path != meta->path || again->cards != meta->cards || !(again->writer == meta->writer)
        || !(again->identity == meta->identity))
        std::abort();
    return 0;
}
