// config.cfg, Tarvel's settings record: any bytes read over the defaults, written back and read
// again give the same settings; the record written is complete and stable. The recent-files list
// read from it keeps every other entry when one is removed, and takes a new one in slot 0.

#include "FuzzSupport.h"

#include "shell/ConfigSettings.h"

#include <QStringList>

using tarvel::ConfigSettings;

namespace {

QStringList Used(const std::array<QString, 5>& recent, int skip = -1)
{
    QStringList used;
    for (int i = 0; i < tarvel::RecentFileSlots; ++i) {
        if (i != skip && !recent[i].isEmpty())
            used.append(recent[i]);
    }
    return used;
}

// Settings unlike the defaults in every field, so that a field the writer left out shows.
ConfigSettings Other()
{
    ConfigSettings other;
    other.EmulatorPath = QStringLiteral("other emulator");
    other.EmulatorCommandLine = QStringLiteral("other line");
    other.RecentFiles = {QStringLiteral("r0"), QStringLiteral("r1"), QStringLiteral("r2"), QStringLiteral("r3"), QStringLiteral("r4")};
    other.DiskImagePath = QStringLiteral("other disk");
    other.RegisterTpj = true;
    other.AutoSave = true;
    other.ShowNewProjectDialog = false;
    other.AutoTooltip = false;
    return other;
}

void CheckRecentList(const std::array<QString, 5>& recent)
{
    for (int index = 0; index < tarvel::RecentFileSlots; ++index) {
        std::array<QString, 5> after = recent;
        const int emptied = tarvel::RemoveRecentSlot(after, index);
        FUZZ_CHECK(Used(after) == Used(recent, index), QStringLiteral("removing slot %1").arg(index));
        FUZZ_CHECK(emptied >= 0 && emptied < tarvel::RecentFileSlots && after[emptied].isEmpty(), QString());
    }
    std::array<QString, 5> added = recent;
    const QString path = QStringLiteral("/fuzz/new.tpj");
    if (tarvel::AddRecentPath(added, path)) {
        FUZZ_CHECK(added[0] == path, QString());
        for (int i = 1; i < tarvel::RecentFileSlots; ++i)
            FUZZ_CHECK(added[i] == recent[i - 1], QStringLiteral("slot %1").arg(i));
    } else {
        FUZZ_CHECK(added == recent, QString());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);

    ConfigSettings read;
    tarvel::SetDefaultSettings(read, QStringLiteral("/fuzz/kit"));
    tarvel::DecodeSettings(bytes, read);

    const QByteArray written = tarvel::EncodeSettings(read);
    ConfigSettings again = Other();
    FUZZ_CHECK(tarvel::DecodeSettings(written, again), QStringLiteral("the written record is incomplete"));
    FUZZ_CHECK(again == read, QStringLiteral("the settings changed on the way through the file"));
    FUZZ_CHECK(tarvel::EncodeSettings(again) == written, QStringLiteral("writing the same settings twice gave other bytes"));

    ConfigSettings withTail = Other();
    FUZZ_CHECK(tarvel::DecodeSettings(written + bytes, withTail) && withTail == read,
               QStringLiteral("bytes after the record changed what was read"));

    CheckRecentList(read.RecentFiles);
    return 0;
}
