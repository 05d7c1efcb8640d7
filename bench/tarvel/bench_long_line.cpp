// A source whose second line is 5 MB long: opening it, moving to the end of that line and typing
// ten characters there, in three editors:
// - a bare QsciScintilla with the Pascal lexer (the component on its own),
// - Tarvel's CodeEditor (the component as Tarvel sets it up),
// - Tarvel's main window (LoadProject, then keys into its editor, its timer and lookups running).
// Each step is measured in CPU time of the process and in wall time, the window painted after it.
// Two kinds of long line: code (many short styled runs) and one long comment (a single run).

#include "BenchSupport.h"

#include "shell/CodeEditor.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr qsizetype kLineBytes = 5 * 1024 * 1024;

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Cost {
    double cpu = 0;
    double wall = 0;
};

Cost measure(const std::function<void()>& step)
{
    QElapsedTimer clock;
    clock.start();
    const double before = cpuSeconds();
    step();
    return {cpuSeconds() - before, clock.nsecsElapsed() / 1e9};
}

QByteArray source(bool comment)
{
    QByteArray line;
    line.reserve(kLineBytes + 16);
    if (comment) {
        line = "{ ";
        while (line.size() < kLineBytes)
            line += "lorem ipsum ";
        line += "}";
    } else {
        while (line.size() < kLineBytes)
            line += "a := a + 1; ";
    }
    return "program L;\r\n" + line + "\r\nbegin\r\nend.\r\n";
}

// Paints what the step changed, as the screen would show it.
void paint(QsciScintilla* view)
{
    QApplication::processEvents();
    view->viewport()->repaint();
    QApplication::processEvents();
}

struct Editor {
    QWidget* window;
    std::function<void(const QString&)> open;
    std::function<QsciScintilla*()> view;
};

void run(const char* name, const Editor& editor, const QString& path)
{
    const Cost opened = measure([&] {
        editor.open(path);
        editor.window->show();
        if (!QTest::qWaitForWindowExposed(editor.window))
            std::printf("  (the window was not exposed)\n");
        paint(editor.view());
    });
    QsciScintilla* view = editor.view();
    view->setFocus();
    view->setCursorPosition(1, 0);
    paint(view);
    const Cost end = measure([&] {
        QTest::keyClick(view, Qt::Key_End);
        paint(view);
    });
    const Cost typed = measure([&] {
        for (const char c : QByteArrayLiteral("x := x + 1")) {
            if (c)
                QTest::keyClicks(view, QString(QLatin1Char(c)));
            paint(view);
        }
    });
    int line = 0, index = 0;
    view->getCursorPosition(&line, &index);
    std::printf("  %-26s open %7.2f s CPU (%6.2f s wall)   End %7.2f s CPU (%6.2f s)   10 keys %7.2f s CPU (%6.2f s)   [caret %d:%d]\n",
                name, opened.cpu, opened.wall, end.cpu, end.wall, typed.cpu, typed.wall, line + 1, index + 1);
    std::fflush(stdout);
    editor.window->hide();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList only = app.arguments().mid(1); // "bare", "editor", "window": run only these

    QTemporaryDir kit;
    writeFile(kit.path() + "/help/autocomplete.txt", "WriteLn(x)\r\n");
    writeFile(kit.path() + "/config.cfg", QByteArray()); // defaults, no chooser at start
    for (const bool comment : {false, true}) {
        QTemporaryDir folder;
        const QString path = folder.path() + "/long.pas";
        writeFile(path, source(comment));
        std::printf("One line of %lld bytes, %s:\n", static_cast<long long>(kLineBytes),
                    comment ? "a single comment" : "code");

        if (only.isEmpty() || only.contains(QLatin1String("bare"))) {
            QsciScintilla bare;
            bare.setLexer(new QsciLexerPascal(&bare));
            bare.setUtf8(false);
            bare.resize(800, 600);
            run("bare QsciScintilla", {&bare, [&bare](const QString& p) {
                                           QFile file(p);
                                           file.open(QIODevice::ReadOnly);
                                           const QByteArray bytes = file.readAll();
                                           bare.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
                                           bare.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, uintptr_t(bytes.size()), bytes.constData());
                                       },
                                       [&bare] { return &bare; }},
                path);
        }
        if (only.isEmpty() || only.contains(QLatin1String("editor"))) {
            CodeEditor code;
            code.resize(800, 600);
            run("Tarvel CodeEditor", {&code, [&code](const QString& p) { code.loadFile(p); },
                                      [&code] { return code.activeView(); }},
                path);
        }
        if (only.isEmpty() || only.contains(QLatin1String("window"))) {
            common::QtDialogs dialogs;
            Form1 window(kit.path(), dialogs, QString());
            window.Settings.AutoTooltip = true;
            window.resize(800, 600);
            run("Tarvel main window", {&window, [&window](const QString& p) { window.LoadProject(p); },
                                       [&window] { return window.editor()->activeView(); }},
                path);
        }
    }
    return 0;
}
