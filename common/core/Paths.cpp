#include "core/Paths.h"

#include "core/Text.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace common {

namespace {

bool isSeparator(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

int lastSeparator(const QString& path)
{
    for (int i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i)))
            return i;
    }
    return -1;
}

} // namespace

bool FileExists(const QString& path)
{
    // Looked up, never opened: opening a FIFO would wait for a writer.
    return IsRegularFile(path) && ::access(QFile::encodeName(path).constData(), R_OK) == 0;
}

bool IsRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

QString AddBackslash(const QString& path)
{
    if (!path.isEmpty() && isSeparator(path.back()))
        return path;
    return path + QLatin1Char('/');
}

QString ExtractPath(const QString& path)
{
    const int at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at + 1);
}

QString ExtractFileName(const QString& path)
{
    const int at = lastSeparator(path);
    return at < 0 ? path : path.mid(at + 1);
}

QString RemoveExtension(const QString& name)
{
    const int n = name.size();
    // The common case: a dot and a three-letter extension. A dot among those three letters
    // means the extension is shorter ("a.b.c"), which the scan below handles.
    if (n >= 4 && name.at(n - 4) == QLatin1Char('.') && !name.right(3).contains(QLatin1Char('.')))
        return name.left(n - 4);
    // Scan backwards for a dot; a dot in the first place does not start an extension.
    for (int i = n - 1; i >= 1; --i) {
        if (name.at(i) == QLatin1Char('.'))
            return name.left(i);
    }
    return name;
}

QString GetShortPath(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QFileInfo info(path);
    if (!info.exists())
        return QString();
    QString absolute = info.absoluteFilePath();
    if (isSeparator(path.back()) && !absolute.endsWith(QLatin1Char('/')))
        absolute += QLatin1Char('/');
    return absolute;
}

namespace {

qint64 directorySize(const QString& directory, const QStringList& filters, bool includeSubdirectories,
                     QSet<QString>& counted)
{
    QDir dir(directory);
    QStringList subdirectories;
    if (includeSubdirectories) {
        // A link to a folder is not followed: it may lead back up the tree, or elsewhere.
        subdirectories = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    }
    qint64 total = 0;
    const QFileInfoList files = dir.entryInfoList(filters, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        // Each file counts once, however many links lead to it.
        const QString canonical = file.canonicalFilePath();
        if (canonical.isEmpty() || counted.contains(canonical))
            continue;
        counted.insert(canonical);
        total += file.size();
    }
    for (const QString& name : subdirectories)
        total += directorySize(directory + name + QLatin1Char('/'), filters, true, counted);
    return total;
}

} // namespace

qint64 DirectorySize(QString& directory, const QString& pattern, bool includeSubdirectories)
{
    directory = AddBackslash(directory);
    // "*.*" means every file, with or without a dot, as it does on the MSX and on Windows.
    const QStringList filters = pattern == QLatin1String("*.*") ? QStringList{QStringLiteral("*")} : QStringList{pattern};
    QSet<QString> counted;
    return directorySize(directory, filters, includeSubdirectories, counted);
}

QByteArray EncodePathBytes(const QString& path)
{
    return QFile::encodeName(path);
}

QString DecodePathBytes(const QByteArray& bytes)
{
    const QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) == bytes)
        return decoded;
    return QString::fromLatin1(bytes);
}

Result<QString> CommandLineFromArguments(const QByteArrayList& arguments)
{
    QStringList words;
    for (const QByteArray& argument : arguments) {
        const QString decoded = QFile::decodeName(argument);
        if (QFile::encodeName(decoded) != argument) {
            return Result<QString>::failure(
                QStringLiteral("The path\n%1\nholds bytes that are not valid in the file system's encoding, so it "
                               "cannot be opened by name. Rename the file or folder, or open it from the File menu.")
                    .arg(decoded));
        }
        words.append(decoded);
    }
    return words.join(QLatin1Char(' '));
}

QString FindFileNoCase(const QString& directory, const QString& name)
{
    if (name.isEmpty())
        return QString();
    const QStringList parts = name.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    QString current = AddBackslash(directory.isEmpty() ? QStringLiteral(".") : directory);
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        const bool last = i == parts.size() - 1;
        QString found;
        if (QFileInfo::exists(current + part)) {
            found = part;
        } else {
            QDir dir(current);
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (AsciiEqualsNoCase(entry, part)) {
                    found = entry;
                    break;
                }
            }
        }
        if (found.isEmpty())
            return QString();
        current += found;
        if (!last)
            current += QLatin1Char('/');
    }
    return current;
}

FolderIndex::FolderIndex(const QString& directory) : m_directory(AddBackslash(directory))
{
    // Every entry but "." and "..", read straight from the directory: the same names as
    // FindFileNoCase's listing without its file information and sorting. Among names that differ
    // only in case the first one read wins; that listing keeps them in the order read as well,
    // so both pick the same name.
    DIR* const dir = ::opendir(QFile::encodeName(m_directory).constData());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const char* const name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        const QString decoded = QFile::decodeName(name);
        // A name listed needs no question to the file system when asked for as it is, unless
        // it is a link (which may lead nowhere) or the file system did not tell its kind.
        if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            m_existing.insert(decoded);
        const QString upper = AsciiUpper(decoded);
        if (!m_byUpperName.contains(upper))
            m_byUpperName.insert(upper, decoded);
    }
    ::closedir(dir);
}

QString FolderIndex::find(const QString& name) const
{
    if (name.isEmpty())
        return QString();
    // A load looks up each include several times (to list it, read it, scan its routines).
    const auto known = m_found.constFind(name);
    if (known != m_found.constEnd())
        return known.value();
    QString found;
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        found = FindFileNoCase(m_directory, name);
    } else if (m_existing.contains(name) || QFileInfo::exists(m_directory + name)) {
        found = m_directory + name;
    } else {
        const auto listed = m_byUpperName.constFind(AsciiUpper(name));
        if (listed != m_byUpperName.constEnd())
            found = m_directory + listed.value();
    }
    m_found.insert(name, found);
    return found;
}

QString ResolveFileNoCase(const QString& directory, const QString& name)
{
    const QString found = FindFileNoCase(directory, name);
    if (!found.isEmpty())
        return found;
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return AddBackslash(directory) + relative;
}

} // namespace common
