#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tarvel {

// The desktop's file type of project files.
inline const QString TpjMimeType = QStringLiteral("application/x-tarvel-project");

// The user's data folder of the freedesktop rules: $XDG_DATA_HOME when it holds an absolute
// path, else $HOME/.local/share; "" when neither is known.
[[nodiscard]] QString XdgDataHome();

// True when the kit in `kitFolder` was installed together with the type's MIME package and
// desktop entry (PREFIX/share beside the kit's PREFIX/lib/<kit>), so the type is already known.
[[nodiscard]] bool TpjTypeInstalledWithKit(const QString& kitFolder);

// One argument of a desktop entry's Exec key, quoted so that blanks, quotes, '$', '`', '\' and
// '%' in it arrive unchanged.
[[nodiscard]] QString DesktopExecArgument(const QString& argument);

// A desktop entry value with the string escapes of the format (\\, \n, \t, \r).
[[nodiscard]] QString DesktopEntryEscape(const QString& value);

// The shared-mime-info package: *.tpj files are "Tarvel Turbo Pascal Project", a kind of text.
[[nodiscard]] QByteArray MimePackageXml();

// The desktop entry that opens a project file with `executable`, the file as its only argument.
// `iconPath` may be empty (no icon line).
[[nodiscard]] QByteArray DesktopEntry(const QString& executable, const QString& iconPath);

struct RegistrationFile {
    QString path;
    QByteArray bytes;
};

// The files of the registration under `dataHome`: the MIME package, the desktop entry and, when
// `iconPng` is not empty, the icon of the program and of its file type.
[[nodiscard]] QList<RegistrationFile> RegistrationFiles(const QString& dataHome, const QString& executable,
                                                        const QByteArray& iconPng);

struct RegistrationOutcome {
    QStringList written;         // files whose content changed and were written
    QList<QStringList> commands; // the database updates to run afterwards: program, then arguments
    QString error;               // why a file could not be written; "" when all went well
};

// Writes each registration file whose content differs from what is there, atomically; files
// already up to date are not touched. The outcome lists the updates of the desktop's databases
// that the written files call for.
[[nodiscard]] RegistrationOutcome RegisterTpjFileType(const QString& dataHome, const QString& executable,
                                                      const QByteArray& iconPng);

} // namespace tarvel
