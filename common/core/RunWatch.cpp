#include "core/RunWatch.h"

#include "core/TextFile.h"

#include <QFile>
#include <QProcess>

namespace common {

namespace {

constexpr int kPollMs = 100;
constexpr int kShownLines = 12;
constexpr int kLongestLine = 240;

// The last `limit` bytes of a file: a run that printed megabytes is not read whole.
QByteArray readTail(const QString& path, qint64 limit)
{
    const Result<std::unique_ptr<QFile>> opened = OpenRegularFile(path);
    if (!opened)
        return {};
    QFile& file = *opened.value();
    const qint64 size = file.size();
    if (size > limit)
        file.seek(size - limit);
    return file.read(limit);
}

} // namespace

RunWatch::RunWatch(StartedRun run, int windowMs, QObject* parent)
    : QObject(parent), m_run(std::move(run)), m_deadline(windowMs)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &RunWatch::poll);
    m_timer.start();
}

void RunWatch::poll()
{
    int status = 0;
    const Result<QByteArray> bytes =
        QFile::exists(m_run.statusPath) ? ReadFileBytes(m_run.statusPath) : Result<QByteArray>(QByteArray());
    if (bytes && ReadRunStatus(bytes.value(), m_run.pid, &status)) {
        m_timer.stop();
        if (status != 0)
            emit failedAtOnce(status, LastLines(readTail(m_run.logPath, kKeptOutputBytes), kShownLines));
        deleteLater();
        return;
    }
    if (m_deadline.hasExpired()) {
        m_timer.stop();
        deleteLater();
    }
}

QString LastLines(const QByteArray& output, int count)
{
    QStringList lines;
    for (const QString& line : QString::fromLocal8Bit(output).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (!text.isEmpty())
            lines.append(text.size() > kLongestLine ? text.left(kLongestLine) + QStringLiteral("...") : text);
    }
    return lines.mid(qMax<qsizetype>(0, lines.size() - count)).join(QLatin1Char('\n'));
}

bool ReadRunStatus(const QByteArray& bytes, qint64 pid, int* status)
{
    const QList<QByteArray> words = bytes.simplified().split(' ');
    if (words.size() != 2)
        return false;
    bool pidOk = false;
    bool statusOk = false;
    const qint64 runPid = words.at(0).toLongLong(&pidOk);
    const int value = words.at(1).toInt(&statusOk);
    if (!pidOk || !statusOk || (pid != 0 && runPid != pid))
        return false;
    *status = value;
    return true;
}

QString QuickFailureText(int exitStatus, const QString& lastLines)
{
    const QString output = lastLines.isEmpty() ? QStringLiteral("It printed nothing.")
                                               : QStringLiteral("Its last output:\n\n") + lastLines;
    return QStringLiteral("The emulator stopped right after it started (exit status %1).\n%2")
        .arg(QString::number(exitStatus), output);
}

QStringList WatchedRunArguments(const QString& program, const QStringList& arguments, const QString& log,
                                const QString& status)
{
    // tail keeps only the end of the output, in memory, and writes it when the program has
    // ended; the status goes aside first and is renamed, so a reader never sees half of it.
    // $$ is this shell's process id, which the starter reports, so a late status of an earlier
    // run is not taken for this one's.
    const QString script = QStringLiteral(
        "l=$1 s=$2; shift 2; "
        "{ \"$@\" </dev/null 2>&1; echo \"$?\" >\"$s.code\"; } | tail -c %1 >\"$l\"; "
        "c=$(cat \"$s.code\" 2>/dev/null); rm -f \"$s.code\"; "
        "echo \"$$ ${c:-1}\" >\"$s.part\" && mv -f \"$s.part\" \"$s\"")
                               .arg(kKeptOutputBytes);
    return QStringList{QStringLiteral("-c"), script, QStringLiteral("watched-run"), log, status, program} + arguments;
}

Result<StartedRun> StartWatchedRun(const QString& program, const QStringList& arguments, const QString& log,
                                   const QString& status)
{
    StartedRun run;
    run.logPath = log;
    run.statusPath = status;
    QFile::remove(log);
    QFile::remove(status);
    QProcess process;
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments(WatchedRunArguments(program, arguments, log, status));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached(&run.pid))
        return Result<StartedRun>::failure(QStringLiteral("/bin/sh could not be started."));
    return run;
}

} // namespace common
