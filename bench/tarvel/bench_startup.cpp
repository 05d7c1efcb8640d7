// Start-up of Tarvel: from process start to the main window shown and idle, offscreen, on the
// bundled kit and on a kit whose word list has 5,000 entries; and the reading of that word list.
//
// The benchmark starts itself again as a child process that builds the main window on a kit and
// quits as soon as the event loop is idle; the parent times each child from start to exit.

#include "BenchSupport.h"

#include "shell/ConfigSettings.h"
#include "shell/Form1.h"
#include "shell/WordList.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

int runChild(int argc, char** argv, const QString& kit)
{
    QApplication app(argc, argv);
    common::QtDialogs dialogs;
    Form1 window(kit, dialogs, QString());
    window.start();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}

void copyKit(const QString& from, const QString& to)
{
    QDir().mkpath(to + "/help");
    QFile::copy(from + "/help/autocomplete.txt", to + "/help/autocomplete.txt");
    QDir().mkpath(to + "/projects");
    tarvel::ConfigSettings settings;
    tarvel::SetDefaultSettings(settings, to);
    settings.ShowNewProjectDialog = false; // the chooser would wait for a user
    QFile config(to + "/config.cfg");
    config.open(QIODevice::WriteOnly);
    config.write(tarvel::EncodeSettings(settings));
}

void writeWordList(const QString& kit, int entries)
{
    QFile file(kit + "/help/autocomplete.txt");
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < entries; ++i)
        file.write(QStringLiteral("Routine%1(var A: Integer; B: Real; C: string): Boolean;\r\n").arg(i).toLatin1());
}

double startupMs(const QString& self, const QString& kit, int runs)
{
    QList<double> times;
    for (int i = 0; i < runs + 1; ++i) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        child.start(self, {"--child", kit});
        child.waitForFinished(-1);
        if (i > 0) // the first run warms the file cache
            times.append(clock.nsecsElapsed() / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    const int runs = 15;

    QTemporaryDir bundled;
    copyKit(KIT_OUTPUT_DIR, bundled.path());
    QTemporaryDir large;
    copyKit(KIT_OUTPUT_DIR, large.path());
    writeWordList(large.path(), 5000);

    std::printf("Tarvel start-up to the main window shown and idle (offscreen, median of %d runs)\n", runs);
    std::printf("  bundled kit (%lld words):      %7.1f ms\n",
                static_cast<long long>(tarvel::ReadWordList(bundled.path()).size()), startupMs(self, bundled.path(), runs));
    std::printf("  kit with a 5,000-word list:   %7.1f ms\n", startupMs(self, large.path(), runs));

    QList<double> reads;
    int words = 0;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer clock;
        clock.start();
        words = tarvel::ReadWordList(large.path()).size();
        reads.append(clock.nsecsElapsed() / 1e6);
    }
    std::printf("Reading a %d-line word list (median of 50):  %.3f ms\n", words, median(reads));
    return 0;
}
