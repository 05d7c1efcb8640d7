#include "BrmsxOptions.h"

#include "core/BinaryRecord.h"

#include <utility>

namespace lumivo {

namespace {

// A string field that holds a path: stored in the file system's bytes, not 8-bit text.
template <typename Text>
struct PathField {
    Text& text;
};

template <typename Text>
PathField<Text> asPath(Text& text)
{
    return {text};
}

// Calls `visit` on every field in file order; encoding, decoding and comparing all go through
// this one list so they cannot drift apart.
template <typename Record, typename Visitor>
void visitFields(Record& o, Visitor&& visit)
{
    visit(o.NormalSpeed); visit(o.FastSpeed); visit(o.TurboSpeed); visit(o.Spare1);
    visit(o.Msx2); visit(o.Msx2Plus); visit(o.Ciel); visit(o.SpareText1); visit(o.SpareText2);
    visit(o.RamSlot); visit(o.AdvRam); visit(o.Korean); visit(o.MegaRamSize); visit(o.MapperSize);
    visit(o.Resolution); visit(o.VSync); visit(o.Green); visit(o.Spare2); visit(o.AllSprites);
    visit(o.NoSpriteCollision); visit(o.VdpTiming); visit(o.NoCache); visit(o.CpuGraph);
    visit(o.PsgGraph); visit(o.TrueVSync); visit(o.SpareText3); visit(o.DiskLow); visit(o.DiskHigh);
    visit(o.SpareText4); visit(o.SpareText5); visit(o.Joystick); visit(o.JoySensitivity);
    visit(o.FakeJoy); visit(o.AutoFire); visit(o.AutoRun); visit(o.Spare3); visit(o.SnesPad);
    visit(o.Spare4); visit(o.NoSound); visit(o.Scc); visit(o.SpareLong); visit(o.FmPac);
    visit(o.Speaker); visit(o.Spare5); visit(o.NoMmx); visit(o.NoMouse); visit(o.NoVesa);
    visit(o.NoLed); visit(o.NoPentium); visit(o.Spare6); visit(o.Multiplayer); visit(o.MultiServer);
    visit(o.MultiClient); visit(o.ComPort); visit(asPath(o.BrmsxFolder)); visit(asPath(o.SpareFolder));
}

struct FieldWriter {
    common::RecordWriter& writer;
    void operator()(bool value) const { writer.writeBool16(value); }
    void operator()(qint16 value) const { writer.writeInt16(value); }
    void operator()(qint32 value) const { writer.writeInt32(value); }
    void operator()(const QString& value) const { writer.writeString(value); }
    void operator()(PathField<const QString> path) const { writer.writePath(path.text); }
};

struct FieldReader {
    common::RecordReader& reader;
    void operator()(bool& field) const { reader.readBool16(field); }
    void operator()(qint16& field) const { reader.readInt16(field); }
    void operator()(qint32& field) const { reader.readInt32(field); }
    void operator()(QString& field) const { reader.readString(field); }
    void operator()(PathField<QString> path) const { reader.readPath(path.text); }
};

} // namespace

bool BrmsxOptions::operator==(const BrmsxOptions& other) const
{
    return EncodeBrmsxOptions(*this) == EncodeBrmsxOptions(other);
}

void InitBrmsxOptions(BrmsxOptions& o, const QString& launcherFolder)
{
    o.NormalSpeed = true;
    o.FastSpeed = false;
    o.TurboSpeed = false;
    o.Spare1 = 60;
    o.Msx2 = false;
    o.Msx2Plus = false;
    o.SpareText1.clear();
    o.SpareText2.clear();
    o.RamSlot = 2;
    o.AdvRam = false;
    o.Korean = false;
    o.MegaRamSize = 1;
    o.MapperSize = 1;
    o.Resolution = 0;
    o.VSync = false;
    o.Green = false;
    o.Spare2 = 1;
    o.AllSprites = false;
    o.NoSpriteCollision = false;
    o.VdpTiming = false;
    o.NoCache = false;
    o.CpuGraph = false;
    o.PsgGraph = false;
    o.SpareText3.clear();
    o.DiskLow = true;
    o.DiskHigh = false;
    o.SpareText4.clear();
    o.SpareText5.clear();
    o.Joystick = false;
    o.JoySensitivity = 3;
    o.FakeJoy = false;
    o.AutoFire = false;
    o.AutoRun = false;
    o.Spare3 = 5;
    o.SnesPad = false;
    o.NoSound = false;
    o.Scc = false;
    o.SpareLong = 45455;
    o.FmPac = false;
    o.Speaker = false;
    o.Spare5 = 1;
    o.NoMmx = false;
    o.NoMouse = false;
    o.NoVesa = false;
    o.NoLed = false;
    o.NoPentium = false;
    o.Spare6 = -1;
    o.Multiplayer = false;
    o.MultiServer = false;
    o.MultiClient = false;
    o.ComPort = 2;
    if (o.BrmsxFolder.isEmpty())
        o.BrmsxFolder = launcherFolder;
    if (o.SpareFolder.isEmpty())
        o.SpareFolder = launcherFolder;
}

QByteArray EncodeBrmsxOptions(const BrmsxOptions& options)
{
    common::RecordWriter writer;
    visitFields(options, FieldWriter{writer});
    return writer.bytes();
}

BrmsxOptions DecodeBrmsxOptions(const QByteArray& bytes, BrmsxOptions base, bool* complete)
{
    common::RecordReader reader(bytes);
    return DecodeBrmsxOptions(reader, std::move(base), complete);
}

BrmsxOptions DecodeBrmsxOptions(common::RecordReader& reader, BrmsxOptions base, bool* complete)
{
    visitFields(base, FieldReader{reader});
    if (complete)
        *complete = reader.complete();
    return base;
}

} // namespace lumivo
