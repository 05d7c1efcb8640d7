// The least any editor window can do to open a project: a main window with a tree and a
// QScintilla editor with the Pascal lexer, which reads every file of the project folder whole
// (nothing more is done with the bytes), lists it in the tree and shows the main file. It quits
// as soon as the event loop is first idle.
// bench_tarvel_open_cost starts it as a child process beside Tarvel.
//
// Usage: bench_tarvel_bare_window <main file>

#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QFileInfo mainFile(QString::fromLocal8Bit(argv[1]));

    QMainWindow window;
    auto* split = new QSplitter(&window);
    auto* tree = new QTreeWidget(split);
    auto* editor = new QsciScintilla(split);
    auto* lexer = new QsciLexerPascal(editor);
    editor->setLexer(lexer);
    window.setCentralWidget(split);

    auto* root = new QTreeWidgetItem(QStringList(mainFile.fileName()));
    QByteArray shown;
    const QStringList names = mainFile.dir().entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(mainFile.dir().filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray data = file.readAll();
        new QTreeWidgetItem(root, QStringList(name.toUpper()));
        if (name == mainFile.fileName())
            shown = data;
    }
    tree->addTopLevelItem(root);
    tree->expandAll();
    editor->setText(QString::fromLatin1(shown));
    window.setWindowTitle(mainFile.fileName());
    window.resize(800, 600);
    window.show();
    // When the event loop is first idle: say when (as Tarvel does under TARVEL_QUIT_WHEN_IDLE) and quit.
    QTimer::singleShot(0, &app, [] {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("idle-at %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return app.exec();
}
