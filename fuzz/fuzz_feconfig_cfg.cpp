// feconfig.cfg, Lumivo's front-end record: read over the first-start values, written back over
// the same file and read again, it gives the same values; the bytes behind the new record stay.

#include "FuzzSupport.h"

#include "launcher/FrontEndConfig.h"
#include "launcher/ModMSX.h"

using lumivo::FrontEndConfig;

namespace {

bool Same(const FrontEndConfig& a, const FrontEndConfig& b)
{
    return a.LastDrive == b.LastDrive && a.LastFolder == b.LastFolder && a.ImageKind == b.ImageKind
           && a.EmulatorChoice == b.EmulatorChoice;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray old = fuzz::Bytes(data, size);
    const FrontEndConfig read = lumivo::DecodeFrontEndConfig(old, FrontEndConfig::defaults());

    const QByteArray record = lumivo::EncodeFrontEndConfig(read);
    const QByteArray stored = lumivo::OverlayRecord(old, record);
    FUZZ_CHECK(stored.startsWith(record), QStringLiteral("the new record is not at the start of the file"));
    FUZZ_CHECK(stored.size() == qMax(old.size(), record.size()), QString::number(stored.size()));
    FUZZ_CHECK(stored.mid(record.size()) == old.mid(record.size()), QStringLiteral("the tail behind the record changed"));

    FrontEndConfig other;
    other.LastDrive = QStringLiteral("other drive");
    other.LastFolder = QStringLiteral("other folder");
    other.ImageKind = 77;
    other.EmulatorChoice = -77;
    const FrontEndConfig again = lumivo::DecodeFrontEndConfig(stored, other);
    FUZZ_CHECK(Same(again, read), QStringLiteral("read back: %1 %2 %3 %4")
                                      .arg(fuzz::Printable(again.LastDrive), fuzz::Printable(again.LastFolder))
                                      .arg(again.ImageKind)
                                      .arg(again.EmulatorChoice));
    FUZZ_CHECK(lumivo::EncodeFrontEndConfig(again) == record, QStringLiteral("writing the same record twice gave other bytes"));
    return 0;
}
