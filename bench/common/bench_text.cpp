// The text helpers and the include scan on one line of 1 MB: each must take time in proportion
// to the length of the line. Prints the median of five runs of each.

#include "core/Text.h"
#include "projects/ProjectFile.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kLineBytes = 1 << 20;

// `head` followed by `unit` repeated up to about kLineBytes characters.
QString line(const char* head, const char* unit)
{
    QString text = QString::fromLatin1(head);
    const QString repeated = QString::fromLatin1(unit);
    text.reserve(kLineBytes + repeated.size());
    while (text.size() < kLineBytes)
        text += repeated;
    return text;
}

// Runs `work` five times; prints the median in milliseconds and what the last run gave.
void report(const char* name, const std::function<qsizetype()>& work)
{
    QList<double> times;
    qsizetype result = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        result = work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s %7.1f ms   (result size %lld)\n", name, times.at(2), static_cast<long long>(result));
}

} // namespace

int main()
{
    const QString includeLine = line("{$I-} ", "{c} ");
    const QString names = line("", "Main.PAS my.pascal.pas ");
    const QString command = line("", "-diska %dsk ");
    const QString words = line("", "word ");

    std::printf("One line of %d characters; target: under 50 ms each\n", kLineBytes);
    report("RemoveText(\"{$I-} {c} {c} ...\", \"}\")", [&] { return common::RemoveText(includeLine, QStringLiteral("}")).size(); });
    report("RemoveText(\"Main.PAS my.pascal.pas ...\", \".pas\")", [&] { return common::RemoveText(names, QStringLiteral(".pas")).size(); });
    report("ReplaceText(\"-diska %dsk ...\", \"%dsk\", path)", [&] {
        return common::ReplaceText(command, QStringLiteral("%dsk"), QStringLiteral("/home/user/kit/dsk/d.dsk")).size();
    });
    report("SplitText(\"word word ...\", \" \")", [&] { return common::SplitText(words, QStringLiteral(" ")).size(); });
    report("IncludeDirectiveFile(\"{$I-} {c} {c} ...\")", [&] {
        return tarvel::IncludeDirectiveFile(includeLine).value_or(QString()).size();
    });
    const QByteArray includeBytes = includeLine.toLatin1();
    report("IncludeDirectiveFiles(\"{$I-} {c} {c} ...\")", [&] { return tarvel::IncludeDirectiveFiles(includeBytes).size(); });
    return 0;
}
