// Find in Project Files on the large generated project: the search of every file against the
// least any search must do, reading every file whole.

#include "BenchProject.h"
#include "BenchSupport.h"

#include "editor/ProjectSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir project;
    generateProject(project.path());
    QList<tarvel::SearchFile> files;
    for (const QString& name : QDir(project.path()).entryList(QDir::Files, QDir::Name))
        files << tarvel::SearchFile{name.toUpper(), project.path() + "/" + name, std::nullopt};

    const auto plainRead = [&] {
        qint64 bytes = 0;
        for (const tarvel::SearchFile& file : files) {
            QFile f(file.path);
            if (f.open(QIODevice::ReadOnly))
                bytes += f.readAll().size();
        }
        return bytes;
    };
    const int runs = 5;
    QList<double> reads;
    qint64 bytes = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        bytes = plainRead();
        reads.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("%lld files, %.1f MB; reading them whole: %.1f ms (median of %d runs)\n", qlonglong(files.size()),
                bytes / 1e6, median(reads), runs);

    const struct {
        const char* name;
        tarvel::SearchRequest request;
    } searches[] = {
        {"absent word, any case", {QStringLiteral("zebra"), false, false}},
        {"absent word, match case", {QStringLiteral("zebra"), true, false}},
        {"'nested' as a whole word, any case", {QStringLiteral("NESTED"), false, true}},
    };
    for (const auto& search : searches) {
        QList<double> times;
        qsizetype hits = 0;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            hits = tarvel::SearchFiles(files, search.request).hits.size();
            times.append(clock.nsecsElapsed() / 1e6);
        }
        std::printf("  %-36s %8.1f ms  (%.2f x the read), %lld lines found\n", search.name, median(times),
                    median(times) / median(reads), qlonglong(hits));
    }
    return 0;
}
