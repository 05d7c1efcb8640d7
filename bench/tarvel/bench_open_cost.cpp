// What opening a large project costs from process start until the window is first idle: Tarvel
// beside a bare editor window that reads the same files, each started as a child process.
//
// The project is the large generated one (a main file with 300 include directives, each include
// 2,000 lines, a few nested includes, about 20 MB), with a .tpj naming its main file. The pairs
// run alternately, so a machine busy with other work slows both sides alike; the figures that
// matter are the ratios. For each child, "to idle" runs from the spawn until the child says its
// event loop is first idle (a line "idle-at <monotonic ns>" on its standard output), "to exit"
// until wait4() returns (which adds closing: Tarvel writes its window state then); CPU time and
// peak memory (ru_maxrss) come from that child's own rusage, for the whole run.
//
// Tarvel runs from a copy of the kit marked as installed, with HOME and the XDG folders in a
// fresh temporary folder for every run: each run starts from the same (absent) settings, recent
// list and window state, and the user's own are never read or written.
//
// Usage: bench_tarvel_open_cost [pairs]   (default 15)

#include "BenchProject.h"
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double idleMs = 0;
    double wallMs = 0;
    double cpuMs = 0;
    double peakMb = 0;
    bool ok = false;
};

// Copies a folder's files and subfolders.
bool copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else if (!QFile::copy(source, target)) {
            return false;
        } else {
            QFile::setPermissions(target, QFile::permissions(source));
        }
    }
    return true;
}

// Spawns `program` with `args` and the current environment plus `extra`, waits for it and returns
// its own wall time, CPU time and peak resident memory.
Run runChild(const QString& program, const QStringList& args, const QStringList& extra)
{
    std::vector<std::string> strings;
    strings.push_back(program.toStdString());
    for (const QString& a : args)
        strings.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const QString& x : extra)
            replaced = replaced || x.toStdString().substr(0, x.indexOf('=')) == name;
        if (!replaced)
            env.push_back(entry);
    }
    for (const QString& x : extra)
        env.push_back(x.toStdString());
    std::vector<char*> envp;
    for (std::string& s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    Run run;
    // The child's standard output goes to a file, where it says when it was first idle.
    QTemporaryFile said;
    if (!said.open())
        return run;
    const std::string saidPath = said.fileName().toStdString();
    timespec spawnedAt{};
    clock_gettime(CLOCK_MONOTONIC, &spawnedAt);
    QElapsedTimer clock;
    clock.start();
    // The offscreen platform's warnings would drown the figures.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, saidPath.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.wallMs = clock.nsecsElapsed() / 1e6;
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakMb = usage.ru_maxrss / 1024.0;
    const QByteArray line = said.readAll();
    const qsizetype at = line.indexOf("idle-at ");
    const long long idleAt = at < 0 ? 0 : line.mid(at + 8).trimmed().toLongLong();
    run.idleMs = (idleAt - (static_cast<long long>(spawnedAt.tv_sec) * 1000000000LL + spawnedAt.tv_nsec)) / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && idleAt > 0;
    return run;
}

// A fresh HOME with its own XDG folders.
QStringList freshHome(const QString& dir)
{
    for (const char* sub : {"/config", "/data", "/state", "/cache", "/runtime"})
        QDir().mkpath(dir + sub);
    QFile::setPermissions(dir + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return {"HOME=" + dir, "XDG_CONFIG_HOME=" + dir + "/config", "XDG_DATA_HOME=" + dir + "/data",
            "XDG_STATE_HOME=" + dir + "/state", "XDG_CACHE_HOME=" + dir + "/cache", "XDG_RUNTIME_DIR=" + dir + "/runtime"};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pairs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    QTemporaryDir work;
    const QString projectDir = work.path() + "/project";
    QDir().mkpath(projectDir);
    const QString mainFile = generateProject(projectDir);
    // The project file Tarvel opens from its command line: name, start and end address, main file.
    writeFile(projectDir + "/big.tpj", "big\r\n0\r\n0\r\nbig.pas\r\n");
    qint64 bytes = 0;
    int files = 0;
    for (const QFileInfo& f : QDir(projectDir).entryInfoList(QDir::Files)) {
        bytes += f.size();
        ++files;
    }

    // Tarvel from a copy of its kit marked as installed: its settings go to the XDG folders.
    const QString kit = work.path() + "/kit";
    if (!copyTree(QStringLiteral(KIT_OUTPUT_DIR), kit)) {
        std::fprintf(stderr, "cannot copy the kit %s\n", KIT_OUTPUT_DIR);
        return 1;
    }
    writeFile(kit + "/installed-kit", QByteArray());
    const QString tarvel = kit + "/" + QFileInfo(QStringLiteral(TARVEL_EXECUTABLE)).fileName();
    const QString bare = QStringLiteral(BARE_WINDOW_EXECUTABLE);

    const QStringList common{"QT_QPA_PLATFORM=offscreen", "TARVEL_QUIT_WHEN_IDLE=1"};
    int homes = 0;
    auto runTarvel = [&] {
        return runChild(tarvel, {projectDir + "/big.tpj"},
                        common + freshHome(work.path() + "/home" + QString::number(++homes)));
    };
    auto runBare = [&] {
        return runChild(bare, {mainFile}, common + freshHome(work.path() + "/home" + QString::number(++homes)));
    };

    // One pair first, not counted: the files in the page cache, the libraries loaded.
    const Run warmTarvel = runTarvel();
    const Run warmBare = runBare();
    if (!warmTarvel.ok || !warmBare.ok) {
        std::fprintf(stderr, "a child failed (tarvel %d, bare window %d)\n", warmTarvel.ok, warmBare.ok);
        return 1;
    }
    // Tarvel remembers a project it opened in its recent list: proof that it did open it.
    QFile settings(work.path() + "/home1/config/tarvel/config.cfg");
    if (!settings.open(QIODevice::ReadOnly) || !settings.readAll().contains("big.tpj")) {
        std::fprintf(stderr, "Tarvel did not open the project\n");
        return 1;
    }

    QList<double> idle[2], wall[2], cpu[2];
    double peak[2] = {0, 0};
    int failed = 0;
    for (int i = 0; i < pairs; ++i) {
        // Alternating which goes first, so neither always follows the other.
        const Run first = i % 2 ? runBare() : runTarvel();
        const Run second = i % 2 ? runTarvel() : runBare();
        const Run& t = i % 2 ? second : first;
        const Run& b = i % 2 ? first : second;
        failed += !t.ok + !b.ok;
        for (int side = 0; side < 2; ++side) {
            const Run& r = side ? b : t;
            idle[side].append(r.idleMs);
            wall[side].append(r.wallMs);
            cpu[side].append(r.cpuMs);
            peak[side] = std::max(peak[side], r.peakMb);
        }
    }

    std::printf("Opening a project of %d files, %.1f MB (300 include directives), start to first idle\n", files,
                bytes / 1e6);
    std::printf("%d alternating pairs of child processes, QT_QPA_PLATFORM=offscreen, medians%s\n", pairs,
                failed ? " (SOME RUNS FAILED)" : "");
    std::printf("  %-44s %8s %8s %8s %8s\n", "", "to idle", "to exit", "CPU ms", "peak MB");
    std::printf("  %-44s %8.1f %8.1f %8.1f %8.1f\n", "Tarvel, the .tpj on its command line", median(idle[0]),
                median(wall[0]), median(cpu[0]), peak[0]);
    std::printf("  %-44s %8.1f %8.1f %8.1f %8.1f\n", "bare window (tree + QScintilla, Pascal lexer)", median(idle[1]),
                median(wall[1]), median(cpu[1]), peak[1]);
    std::printf("  Tarvel / bare window: %.2fx to idle, %.2fx to exit, %.2fx CPU; peak %+.1f MB\n",
                median(idle[0]) / median(idle[1]), median(wall[0]) / median(wall[1]), median(cpu[0]) / median(cpu[1]),
                peak[0] - peak[1]);
    return failed ? 1 : 0;
}
