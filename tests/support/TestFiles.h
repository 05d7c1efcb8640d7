#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Small file helpers for tests.
namespace testfiles {

// Writes bytes to a file, creating its folder; fails the test when it cannot.
void write(const QString& path, const QByteArray& bytes);

// The whole file; an empty array when it cannot be read.
QByteArray read(const QString& path);

// Bytes as "41 42 0D 0A" for readable failure messages.
QString hex(const QByteArray& bytes);

// Copies a folder tree.
void copyTree(const QString& from, const QString& to);

// Runs events until `done` is true or `timeoutMs` has passed; returns `done()`.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 20000);

// True when process `pid` has ended (gone, or a zombie nobody reaped yet).
bool processEnded(qint64 pid);

// Where the repository's kit data and the tests' data live.
QString kitSourceDir();
QString testDataDir();
QString testToolsDir();

} // namespace testfiles
