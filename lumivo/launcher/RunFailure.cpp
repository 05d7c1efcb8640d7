#include "RunFailure.h"

#include "core/RunWatch.h"

#include <QFile>
#include <QStringList>

namespace lumivo {

namespace {

constexpr int kShownLines = 12;
constexpr int kShownReasons = 6;

bool saysWhy(const QString& line)
{
    return line.startsWith(QLatin1String("Fatal error")) || line.contains(QLatin1String("Couldn't find"));
}

} // namespace

QString RunFailureText(int exitStatus, const QByteArray& output, const QString& logPath)
{
    QStringList reasons;
    for (const QString& line : QString::fromLocal8Bit(output).split(QLatin1Char('\n'))) {
        const QString text = line.trimmed();
        if (saysWhy(text) && !reasons.contains(text))
            reasons.append(text);
    }
    const QString lastLines = common::LastLines(output, kShownLines);
    if (reasons.isEmpty())
        return common::QuickFailureText(exitStatus, lastLines);
    return QStringLiteral("The emulator stopped right after it started (exit status %1):\n%2\n\n"
                          "Its last output (all of it is in %3):\n\n%4")
        .arg(QString::number(exitStatus), reasons.mid(0, kShownReasons).join(QLatin1Char('\n')), logPath,
             lastLines);
}

QByteArray ReadLogTail(const QString& logPath, qint64 limit)
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.size() > limit)
        file.seek(file.size() - limit);
    return file.read(limit);
}

} // namespace lumivo
