// Opening a large generated project: a main file with 300 include directives, each include
// 2,000 lines with a few nested includes, about 20 MB in all. Reports the time of LoadProject
// (tree built, main file in the editor, routine signature tooltips on as by default) beside the
// least any load must do: read every file of the project whole and search it for "{$I". Then the
// time to switch between two 20,000-line documents.

#include "BenchProject.h"
#include "BenchSupport.h"

#include "shell/CodeEditor.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

namespace {

// Reads every file of the folder whole and counts the occurrences of "{$I".
int plainRead(const QString& dir, qint64* bytes)
{
    int includes = 0;
    *bytes = 0;
    const QStringList names = QDir(dir).entryList(QDir::Files);
    for (const QString& name : names) {
        QFile file(dir + "/" + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        *bytes += data.size();
        for (qsizetype at = data.indexOf("{$I"); at >= 0; at = data.indexOf("{$I", at + 3))
            ++includes;
    }
    return includes;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir kit;
    QDir().mkpath(kit.path() + "/help");
    QTemporaryDir project;
    const QString mainFile = generateProject(project.path());

    common::QtDialogs dialogs;
    Form1 window(kit.path(), dialogs, QString());
    window.Settings.AutoTooltip = true;
    window.show();

    const int runs = 5;
    QList<double> loads;
    QList<double> reads;
    qint64 bytes = 0;
    int includeLines = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        includeLines = plainRead(project.path(), &bytes);
        reads.append(clock.nsecsElapsed() / 1e6);
        clock.restart();
        window.LoadProject(mainFile);
        loads.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Project of %.1f MB, %d include directives, %d tree nodes (median of %d runs)\n", bytes / 1e6,
                includeLines, window.nodeCount(), runs);
    std::printf("  readAll + search for {$I:           %8.1f ms\n", median(reads));
    std::printf("  LoadProject (AutoTooltip on):       %8.1f ms  (%.2f x the read)\n", median(loads),
                median(loads) / median(reads));

    // Two 20,000-line documents shown in turn through the tree.
    QTemporaryDir pair;
    writeFile(pair.path() + "/doc_a.inc", pascalLines(20000, "document a"));
    writeFile(pair.path() + "/doc_b.inc", pascalLines(20000, "document b"));
    writeFile(pair.path() + "/two.pas", "{$I DOC_A.INC}\r\n{$I DOC_B.INC}\r\n");
    window.LoadProject(pair.path() + "/two.pas");
    QList<double> switches;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        window.TV_NodeClick(window.node(3 + i % 2));
        QApplication::processEvents();
        switches.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Switching between two 20,000-line documents (median of 10): %.1f ms (editor holds %d lines)\n",
                median(switches), window.editor()->lineCount());
    return 0;
}
