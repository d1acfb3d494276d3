// Parameter block files (backups and restore points) as anyone may write
// them: parsed strictly; what parses is written out and parses the same.
#include "FuzzInput.h"
#include "params/RestorePoints.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const params::BlockFileParse p = params::parseBlockFile(in.rest(), QStringLiteral("fuzz.txt"));
    if (!p.ok) {
        if (p.error.isEmpty()) __builtin_trap(); // every refusal says why
        return 0;
    }
    const params::BlockFileParse again =
        params::parseBlockFile(params::blockFileBytes(p.file), QStringLiteral("again.txt"));
    if (!again.ok || again.file.block != p.file.block || again.file.header.versionCode != p.file.header.versionCode)
        __builtin_trap();
    return 0;
}
