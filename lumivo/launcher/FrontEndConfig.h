#pragma once

#include <QByteArray>
#include <QString>

namespace common {
class RecordReader;
}

namespace lumivo {

// Where the file browser was and what was chosen, kept in feconfig.cfg.
struct FrontEndConfig {
    QString LastDrive;        // root of the browser's volume
    QString LastFolder;       // folder shown in the browser
    qint16 ImageKind = 0;     // 0 DSK, 1 ROM, 2 CAS, 3 DIR
    qint16 EmulatorChoice = 0; // 0 BR-MSX, 1 F-MSX

    // The values of a first start, without a settings file: the root volume, DSK and BR-MSX.
    static FrontEndConfig defaults();
};

// The record's bytes: both paths as a 16-bit length and the file system's bytes, then the two
// integers.
[[nodiscard]] QByteArray EncodeFrontEndConfig(const FrontEndConfig& config);

// Reads one record from the start of `bytes` over `base`: fields the data does not hold
// completely keep the values of `base`; bytes behind the record are ignored.
[[nodiscard]] FrontEndConfig DecodeFrontEndConfig(const QByteArray& bytes, FrontEndConfig base);
// The same from a reader, which takes only the record's bytes from its data.
[[nodiscard]] FrontEndConfig DecodeFrontEndConfig(common::RecordReader& reader, FrontEndConfig base);

} // namespace lumivo
