#pragma once

#include <QByteArray>
#include <QString>

// Helpers shared by the build tests.
namespace buildtest {

// Compares bytes with the reference file under tests/data/build; a mismatch prints both sides
// as text and as hex.
void expectSameAsReference(const QByteArray& actual, const QString& referenceName);

// Lays out an application directory under `appDir` the build can run in: compiler/TP3 (the
// stand-in compiler), compiler/runtime.com (a few marker bytes, returned) and dsk/dsktool.
QByteArray makeKit(const QString& appDir);

} // namespace buildtest
