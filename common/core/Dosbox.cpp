#include "core/Dosbox.h"

#include "core/Text.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <algorithm>

namespace common {

namespace {

bool Mountable(QChar c)
{
    return c != QLatin1Char('"') && c != QLatin1Char('%') && c.unicode() >= 0x20 && c.unicode() != 0x7f;
}

} // namespace

bool IsDosName(const QString& name)
{
    static const QString allowed = QStringLiteral("!#$&'()-@^_`{}~");
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || extension.size() > 3 || extension.contains(QLatin1Char('.')))
        return false;
    for (const QChar c : base + extension) {
        const bool letterOrDigit = c.unicode() < 0x80 && c.isLetterOrNumber();
        if (!letterOrDigit && !allowed.contains(c))
            return false;
    }
    return true;
}

bool CanMountInDosbox(const QString& folder)
{
    return std::all_of(folder.cbegin(), folder.cend(), Mountable);
}

QString DosboxMountFolder(const QString& folder)
{
    return QDir::cleanPath(folder);
}

bool FitsDosboxMount(const QString& folder)
{
    return QFile::encodeName(DosboxMountFolder(folder)).size() <= kDosboxMountPathMax;
}

QStringList DosNameClashes(const QString& folder, const QString& name)
{
    QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    // The same order in every locale.
    std::sort(entries.begin(), entries.end());
    QHash<QString, QStringList> byDosName;
    for (const QString& entry : entries)
        byDosName[AsciiUpper(entry)].append(entry);
    QStringList clashes;
    if (!name.isEmpty()) {
        const QStringList same = byDosName.value(AsciiUpper(name));
        if (same.size() > 1)
            clashes = same;
        return clashes;
    }
    for (const QString& entry : entries) {
        const QStringList& same = byDosName[AsciiUpper(entry)];
        if (same.size() > 1 && same.first() == entry)
            clashes.append(same);
    }
    return clashes;
}

DosboxCheck CheckDosboxMounts(const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (!CanMountInDosbox(folder))
            return {DosboxProblem::CannotMount, DosboxMountFolder(folder)};
        if (!FitsDosboxMount(folder))
            return {DosboxProblem::PathTooLong, DosboxMountFolder(folder)};
    }
    return {};
}

QString DosboxProblemText(DosboxProblem problem, const QString& detail, const QString& program)
{
    switch (problem) {
    case DosboxProblem::None:
        return QString();
    case DosboxProblem::NotFound:
        return QStringLiteral("%1 is a DOS program, which runs here in DOSBox. Install DOSBox (Debian package dosbox).")
            .arg(program);
    case DosboxProblem::NotReachableFromDos:
        return QStringLiteral("%1 runs in DOSBox, where the file \"%2\" cannot be reached: DOS names have at most "
                              "eight characters, a dot and three more (like GAME.DSK), without blanks. Copy or rename "
                              "the file to such a name.")
            .arg(program, detail);
    case DosboxProblem::CannotMount:
        return QStringLiteral("%1 runs in DOSBox, whose mount command cannot take the folder \"%2\": it holds a double "
                              "quote, a percent sign or a control character. Rename the folder or move the files.")
            .arg(program, detail);
    case DosboxProblem::PathTooLong:
        return QStringLiteral("%1 runs in DOSBox, which cannot mount the folder \"%2\": its path is %3 bytes long, and "
                              "DOSBox takes at most %4. Move the files to a folder with a shorter path.")
            .arg(program, detail)
            .arg(QFile::encodeName(detail).size())
            .arg(kDosboxMountPathMax);
    case DosboxProblem::NameClash:
        return QStringLiteral("%1 runs in DOSBox, where %2 are one name: DOS names have no letter case, so DOSBox "
                              "could open the wrong file. Rename or move all but one of them.")
            .arg(program, detail);
    }
    return QString();
}

QStringList DosboxArguments(const QStringList& options, const QList<DosboxMount>& mounts, const QStringList& dosCommands)
{
    QStringList arguments = options;
    arguments << QStringLiteral("-noautoexec");
    for (const DosboxMount& mount : mounts) {
        arguments << QStringLiteral("-c")
                  << QStringLiteral("mount %1 \"%2\"").arg(QString(QLatin1Char(mount.drive)), DosboxMountFolder(mount.folder));
    }
    for (const QString& command : dosCommands)
        arguments << QStringLiteral("-c") << command;
    arguments << QStringLiteral("-c") << QStringLiteral("exit");
    return arguments;
}

} // namespace common
