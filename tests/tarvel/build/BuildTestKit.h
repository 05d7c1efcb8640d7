#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Helpers shared by the build tests.
namespace buildtest {

// Compares bytes with the reference file under tests/data/build; a mismatch prints both sides
// as text and as hex.
void expectSameAsReference(const QByteArray& actual, const QString& referenceName);

// Lays out an application directory under `appDir` the build can run in: compiler/TP3 (the
// stand-in compiler), compiler/runtime.com (a few marker bytes, returned) and dsk/dsktool.
QByteArray makeKit(const QString& appDir);

// Makes a 720 KB boot disk with mtools at `path`: a fresh MSX-DOS disk with small made-up files
// named as the given system files and a marked boot sector. False when mtools is not there.
bool makeBootDisk(const QString& path, const QStringList& systemFiles = {"MSXDOS.SYS", "COMMAND.COM"});

} // namespace buildtest
