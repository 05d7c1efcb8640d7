#pragma once

#include <QByteArray>
#include <QString>

namespace common {
class RecordReader;
}

namespace lumivo {

// The BR-MSX options, kept in brmsx.cfg. Booleans are stored as 16-bit 0 / -1; the Spare fields
// are unused but keep their place in the file.
struct BrmsxOptions {
    bool NormalSpeed = false;
    bool FastSpeed = false;
    bool TurboSpeed = false;
    qint16 Spare1 = 0;
    bool Msx2 = false;
    bool Msx2Plus = false;
    bool Ciel = false;
    QString SpareText1;
    QString SpareText2;
    qint16 RamSlot = 0;
    bool AdvRam = false;
    bool Korean = false;
    qint16 MegaRamSize = 0;
    qint16 MapperSize = 0;
    qint16 Resolution = 0;
    bool VSync = false;
    bool Green = false;
    qint16 Spare2 = 0;
    bool AllSprites = false;
    bool NoSpriteCollision = false;
    bool VdpTiming = false;
    bool NoCache = false;
    bool CpuGraph = false;
    bool PsgGraph = false;
    bool TrueVSync = false;
    QString SpareText3;
    bool DiskLow = false;
    bool DiskHigh = false;
    QString SpareText4;
    QString SpareText5;
    bool Joystick = false;
    qint16 JoySensitivity = 0;
    bool FakeJoy = false;
    bool AutoFire = false;
    bool AutoRun = false;
    qint16 Spare3 = 0;
    bool SnesPad = false;
    qint16 Spare4 = 0;
    bool NoSound = false;
    bool Scc = false;
    qint32 SpareLong = 0;
    bool FmPac = false;
    bool Speaker = false;
    qint16 Spare5 = 0;
    bool NoMmx = false;
    bool NoMouse = false;
    bool NoVesa = false;
    bool NoLed = false;
    bool NoPentium = false;
    qint16 Spare6 = 0;
    bool Multiplayer = false;
    bool MultiServer = false;
    bool MultiClient = false;
    qint16 ComPort = 0;
    QString BrmsxFolder;  // folder that holds brmsx.exe
    QString SpareFolder;

    bool operator==(const BrmsxOptions& other) const;
};

// Sets every field to its default except Ciel, TrueVSync and Spare4, which keep their values.
// An empty BrmsxFolder or SpareFolder becomes `launcherFolder`; a non-empty one stays.
void InitBrmsxOptions(BrmsxOptions& options, const QString& launcherFolder);

[[nodiscard]] QByteArray EncodeBrmsxOptions(const BrmsxOptions& options);

// Reads one record from the start of `bytes` over `base`: from the first field the data does
// not hold completely, the fields keep the values of `base`; bytes behind the record are ignored.
// `complete` (when given) tells whether the whole record was there.
[[nodiscard]] BrmsxOptions DecodeBrmsxOptions(const QByteArray& bytes, BrmsxOptions base, bool* complete = nullptr);
// The same from a reader, which takes only the record's bytes from its data.
[[nodiscard]] BrmsxOptions DecodeBrmsxOptions(common::RecordReader& reader, BrmsxOptions base, bool* complete = nullptr);

} // namespace lumivo
