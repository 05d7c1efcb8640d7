#include "build/WineRun.h"

#include "core/Text.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace tarvel {

namespace {

// Marks a prefix that Wine finished making; written by the build script.
const QString kReadyMarker = QStringLiteral(".tarvel-ready");

// No .NET (mscoree) and no HTML engine (mshtml): Wine would offer to download them; no menu
// entries or file associations written to the user's desktop (winemenubuilder).
constexpr char kDllOverrides[] = "mscoree,mshtml=;winemenubuilder.exe=d";

// The most of the log read for the messages: its end is what tells.
constexpr qint64 kLogTailBytes = 16 * 1024;

QByteArray Word(const QString& text)
{
    return QFile::encodeName(common::ShellQuote(text));
}

QString Find(const QString& name, const QStringList& folders)
{
    return QStandardPaths::findExecutable(name, folders);
}

} // namespace

WinePrograms FindWine(const QString& searchPath)
{
    QStringList folders;
    for (const QString& folder : searchPath.split(QLatin1Char(':')))
        folders << (folder.isEmpty() ? QDir::currentPath() : folder);
    WinePrograms programs;
    programs.wine = Find(QStringLiteral("wine"), folders);
    programs.wineserver = Find(QStringLiteral("wineserver"), folders);
    // Some Wine packages link only the loader into a folder on PATH: the server lies beside it.
    if (programs.wineserver.isEmpty() && !programs.wine.isEmpty())
        programs.wineserver = Find(QStringLiteral("wineserver"), {QFileInfo(programs.wine).canonicalPath()});
    return programs;
}

WinePrograms FindWine()
{
    return FindWine(QString::fromLocal8Bit(qgetenv("PATH")));
}

WineFolders WineFoldersIn(const QString& stateDir)
{
    // Wine takes only an absolute prefix.
    const QDir state(stateDir);
    return {state.absoluteFilePath(QStringLiteral("wine/prefix")), state.absoluteFilePath(QStringLiteral("wine/wine.log"))};
}

bool WinePrefixReady(const QString& prefix)
{
    return QFileInfo(QDir(prefix).filePath(kReadyMarker)).isFile();
}

QByteArray RenderWineScript(const QList<BuildStep>& steps, const WinePrograms& wine, const WineFolders& folders)
{
    const QByteArray wineWord = Word(wine.wine);
    const QByteArray server = Word(wine.wineserver);
    const QByteArray log = Word(folders.log);
    const QByteArray failed = QByteArray::number(kWinePrefixFailed);

    QByteArray script = kShellScriptHeader;
    script += "# The compiler is a Windows program: it runs under Wine, in a prefix of its own.\n";
    script += "WINEPREFIX=" + Word(folders.prefix) + "\n";
    script += "WINEDEBUG=-all\n";
    script += QByteArray("WINEDLLOVERRIDES=") + Word(QLatin1String(kDllOverrides)) + "\n";
    script += "export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES\n";
    script += "unset DISPLAY WAYLAND_DISPLAY\n";
    script += ": > " + log + "\n";
    script += "if [ ! -e " + Word(QDir(folders.prefix).filePath(kReadyMarker)) + " ]; then\n";
    script += "    " + wineWord + " wineboot.exe --init >> " + log + " 2>&1 < /dev/null\n";
    script += "    made=$?\n";
    script += "    " + server + " -w\n";
    script += "    [ \"$made\" -eq 0 ] || exit " + failed + "\n";
    script += "    : > " + Word(QDir(folders.prefix).filePath(kReadyMarker)) + " || exit " + failed + "\n";
    script += "fi\n";
    for (const BuildStep& step : steps) {
        if (step.kind != BuildStep::Kind::RunCompiler) {
            script += RenderShellStep(step);
            continue;
        }
        QByteArray line = wineWord;
        for (const QString& word : QStringList{step.path} + step.arguments)
            line += ' ' + Word(word);
        script += line + " > " + Word(step.output) + " 2>> " + log + " < /dev/null\n";
        script += "status=$?\n";
    }
    script += "exit ${status:-0}\n";
    return script;
}

common::Status WriteWineScript(const QString& scriptPath, const QList<BuildStep>& steps, const WinePrograms& wine,
                               const WineFolders& folders)
{
    if (!QDir().mkpath(QFileInfo(folders.log).absolutePath()))
        return common::Failure(QStringLiteral("The folder %1 could not be made.").arg(QFileInfo(folders.log).absolutePath()));
    return common::WriteFileAtomic(scriptPath, RenderWineScript(steps, wine, folders));
}

QString LastLines(const QByteArray& bytes, int lines)
{
    QString text = QString::fromLocal8Bit(bytes);
    for (QChar& c : text) {
        // C0 but line feed and tab, DEL and C1 (0x80-0x9F, which terminals and viewers act on)
        if ((c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
            || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            c = QLatin1Char(c == QLatin1Char('\r') ? ' ' : '?');
    }
    QStringList kept;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            kept << line.trimmed();
    }
    return kept.mid(qMax<qsizetype>(0, kept.size() - qMax(0, lines))).join(QStringLiteral("\r\n"));
}

QString LastLinesOfFile(const QString& path, int lines)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QString();
    if (file.size() > kLogTailBytes)
        file.seek(file.size() - kLogTailBytes);
    return LastLines(file.read(kLogTailBytes), lines);
}

void StopWine(const WinePrograms& wine, const WineFolders& folders)
{
    if (wine.wineserver.isEmpty())
        return;
    QProcess server;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), folders.prefix);
    server.setProcessEnvironment(environment);
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(wine.wineserver, {QStringLiteral("-k")});
    if (server.waitForStarted(5000) && !server.waitForFinished(10000)) {
        server.kill();
        server.waitForFinished(1000);
    }
}

} // namespace tarvel
