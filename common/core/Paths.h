#pragma once

#include "core/Result.h"

#include <QByteArrayList>
#include <QHash>
#include <QSet>
#include <QString>

namespace common {

// Path helpers. Paths use '/' here; both '/' and '\' count as separators when a path is split,
// so a project file written on Windows still opens.

// True for a readable regular file, or a link to one; false for a folder, a FIFO, a device or a
// missing file. The file is not opened.
[[nodiscard]] bool FileExists(const QString& path);

// True for a regular file or a link to one, readable or not; the file is not opened.
[[nodiscard]] bool IsRegularFile(const QString& path);

// The path with a separator appended unless it already ends in '/' or '\'; "" gives "/".
[[nodiscard]] QString AddBackslash(const QString& path);

// Text up to and including the last separator; "" when there is none.
[[nodiscard]] QString ExtractPath(const QString& path);

// Text after the last separator; the whole path when there is none.
[[nodiscard]] QString ExtractFileName(const QString& path);

// "main.pas" gives "main", "a.b.c" gives "a.b", ".hidden" stays.
[[nodiscard]] QString RemoveExtension(const QString& name);

// The absolute form of an existing path (a trailing separator is kept); "" when it does not exist.
// There are no 8.3 names here: scripts quote paths instead.
[[nodiscard]] QString GetShortPath(const QString& path);

// Total size of the files matching the wildcard pattern in the directory, optionally with
// all subdirectories. Links to folders are not followed and each file counts once, however many
// links lead to it. The directory argument gets a trailing separator if it had none.
[[nodiscard]] qint64 DirectorySize(QString& directory, const QString& pattern, bool includeSubdirectories);

// Paths stored in records and project files are the file system's own bytes, so every path the
// program can open survives a save. Bytes that are not valid in the file system's encoding (a
// file written on Windows in its 8-bit code page) read as Latin-1, as they always did.
[[nodiscard]] QByteArray EncodePathBytes(const QString& path);
[[nodiscard]] QString DecodePathBytes(const QByteArray& bytes);

// A program's arguments joined with blanks into one text, each decoded from the file system's
// encoding. Fails, with a reason that shows the argument as far as it can be read, when an
// argument holds bytes that are not valid there: no file can be opened under such a name.
[[nodiscard]] Result<QString> CommandLineFromArguments(const QByteArrayList& arguments);

// Looks a file name up inside a directory without regard to ASCII letter case (an exact match wins).
// The name may hold directory parts separated by '/' or '\'. Returns the existing path, or ""
// when no entry matches.
[[nodiscard]] QString FindFileNoCase(const QString& directory, const QString& name);

// The path a project file is read from and written to: the existing file whose name matches
// without regard to case, or else the directory joined with the name as given.
[[nodiscard]] QString ResolveFileNoCase(const QString& directory, const QString& name);

// Case-insensitive look-ups of many names in one directory: the directory is listed once.
// Names with directory parts fall back to FindFileNoCase. Each name is looked up once and
// keeps its answer. Use it for one pass over a folder that does not change meanwhile.
class FolderIndex {
public:
    explicit FolderIndex(const QString& directory);
    // The existing path of `name`, or "".
    [[nodiscard]] QString find(const QString& name) const;

private:
    QString m_directory;
    QHash<QString, QString> m_byUpperName;
    QSet<QString> m_existing; // names listed that surely exist as they are
    mutable QHash<QString, QString> m_found; // answers given, by name asked
};

} // namespace common
