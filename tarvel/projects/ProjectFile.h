#pragma once

#include "core/Result.h"
#include "projects/ProjectInfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvel {

// A .tpj file: four CR LF lines holding the project name, the start and end addresses in
// hexadecimal, and the main Pascal file. The name and the main file line are in the file
// system's own bytes, so any name a folder or file can have survives a save; bytes that are not
// valid there (a file written on Windows) read as Latin-1.
struct ProjectFileContents {
    ProjectInfo info;
    QString mainFileEntry; // the fourth line as written (a name, or a full path)
};

// "2E9B" for 0x2E9B, "D200" for -11776, "0" for zero: upper case, no prefix, no leading zeros.
[[nodiscard]] QString FormatAddress(qint16 address);

// One to four hexadecimal digits (either case) into a 16-bit value; nothing for anything else.
[[nodiscard]] std::optional<qint16> ParseAddress(const QString& text);

// Reads a .tpj. Fails with a readable reason when it is not a project file: fewer than four
// lines, an address line that is not one to four hexadecimal digits, an empty main file line,
// or binary content.
[[nodiscard]] common::Result<ProjectFileContents> ParseProjectFile(const QByteArray& bytes);

// The bytes of a .tpj: four lines, each ended by CR LF.
[[nodiscard]] QByteArray ProjectFileBytes(const ProjectInfo& info, const QString& mainFileEntry);

// The base name Save Project gives a named project's .tpj: the name itself when it is a plain
// file name; a name with folder parts is reduced to its last part, so the file always lands in
// the project folder, and when nothing usable is left ("", "." or "..") the main file's name
// without ".pas" is used.
[[nodiscard]] QString ProjectFileBaseName(const QString& projectName, const QString& mainFileName);

// The file named by an include directive when the whole line is one ("{$I name}", any letter
// case, blanks allowed around the name): the name with a-z upper-cased (other letters keep their
// case) and trimmed. Nothing for other lines, compiler switches such as {$I-} and {$I+}, and
// lines with other text beside the directive.
[[nodiscard]] std::optional<QString> IncludeDirectiveFile(const QString& line);

// The include directive files of a whole text, in line order, by the rule above. Only lines that
// hold "{$" are looked at closely, so large files are scanned at about the speed of reading.
[[nodiscard]] QStringList IncludeDirectiveFiles(const QByteArray& text);

// Sorts ascending (or descending) by character codes, letter case counting: a Shell sort with
// the gaps 1, 4, 13, 40, ...
void SortStrings(QStringList& list, bool descending);

} // namespace tarvel
