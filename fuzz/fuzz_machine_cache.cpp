// The machine check cache: any bytes read as checks or as nothing, without a crash, and what is
// read writes back to the same checks.

#include "FuzzSupport.h"

#include "core/OpenMsxMachineCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QByteArray fingerprint = "0123abcd";
    const auto checks = common::ReadMachineCheckCache(bytes, fingerprint);
    if (!checks)
        return 0;
    const auto again = common::ReadMachineCheckCache(common::WriteMachineCheckCache(*checks, fingerprint), fingerprint);
    FUZZ_CHECK(again.has_value(), fuzz::Printable(QString::fromLatin1(bytes)));
    FUZZ_CHECK(again->size() <= checks->size(), fuzz::Printable(QString::fromLatin1(bytes)));
    return 0;
}
