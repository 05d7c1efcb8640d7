#include "RunWatch.h"

#include "core/TextFile.h"

#include <QFile>

namespace lumivo {

namespace {

constexpr int kPollMs = 100;
constexpr int kShownLines = 12;
constexpr int kLongestLine = 240;

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
    const common::Result<QByteArray> bytes =
        QFile::exists(m_run.statusPath) ? common::ReadFileBytes(m_run.statusPath) : common::Result<QByteArray>(QByteArray());
    if (bytes && ReadRunStatus(bytes.value(), m_run.pid, &status)) {
        m_timer.stop();
        if (status != 0) {
            const common::Result<QByteArray> output = common::ReadFileBytes(m_run.logPath);
            emit failedAtOnce(status, LastLines(output ? output.value() : QByteArray(), kShownLines));
        }
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

} // namespace lumivo
