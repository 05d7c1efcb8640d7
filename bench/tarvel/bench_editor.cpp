// The editor services under load:
// - a signature lookup with a 10,000-entry word list that does not match, then 300 project files
//   of 100 routine headers each with the match in the last header of the last file: the lookup
//   alone, and a "(" typed into the editor (key event, lookup, the character inserted);
// - RefreshTooltips on a 20,000-line document;
// - typing 1,000 characters into a 20,000-line document with AutoTooltip on, one "(" every 20
//   characters, with an include file that has no routines (so each lookup that finds nothing
//   also rebuilds the shown document's list).

#include "BenchSupport.h"

#include "editor/SignatureLookup.h"
#include "shell/CodeEditor.h"
#include "shell/Form1.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>

namespace {

double msSince(const QElapsedTimer& clock)
{
    return clock.nsecsElapsed() / 1e6;
}

QByteArray routineFile(int file, int headers)
{
    QByteArray text;
    for (int h = 0; h < headers; ++h)
        text += QStringLiteral("procedure Routine%1_%2(a, b: Integer);\r\nbegin\r\nend;\r\n").arg(file).arg(h).toLatin1();
    return text;
}

QByteArray document(int lines)
{
    QByteArray text = "program Big;\r\n{$I empty.inc}\r\n";
    for (int i = 2; i < lines; ++i) {
        if (i % 100 == 0)
            text += QStringLiteral("procedure Step%1(n: Integer);\r\n").arg(i).toLatin1();
        else
            text += QStringLiteral("  WriteLn('line %1');\r\n").arg(i, 5).toLatin1();
    }
    return text;
}

class Lists final : public tarvel::RoutineSource {
public:
    QList<QStringList> files;
    int fileCount() const override { return int(files.size()); }
    const QStringList& routines(int index) const override { return files.at(index); }
    void emptyListMet() override {}
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir kit;
    QByteArray words;
    QStringList wordList;
    for (int i = 0; i < 10000; ++i) {
        const QString entry = QStringLiteral("Word%1(x, y: Integer): Integer").arg(i);
        words += entry.toLatin1() + "\r\n";
        wordList.append(entry);
    }
    writeFile(kit.path() + "/help/autocomplete.txt", words);

    // The lookup alone.
    Lists lists;
    for (int f = 0; f < 300; ++f) {
        QStringList headers;
        for (int h = 0; h < 100; ++h)
            headers.append(QStringLiteral("Routine%1_%2(a, b: Integer);").arg(f).arg(h));
        lists.files.append(headers);
    }
    const QString word = tarvel::SignatureWord(QStringLiteral("routine299_99"));
    QList<double> lookups;
    QString found;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer clock;
        clock.start();
        found = tarvel::FindSignature(word, wordList, &lists).value_or(QString());
        lookups.append(msSince(clock));
    }
    std::printf("Lookup, 10,000 words then 300 files x 100 headers, match last (median of 200): %.3f ms  [%s]\n",
                median(lookups), qPrintable(found));

    // The same through the editor: a project of 300 files with 100 headers each.
    common::QtDialogs dialogs;
    Form1 window(kit.path(), dialogs, QString());
    window.Settings.AutoTooltip = true;
    window.show();
    QTemporaryDir project;
    QByteArray main = "program Many;\r\n";
    for (int f = 1; f < 300; ++f)
        main += QStringLiteral("{$I file%1.inc}\r\n").arg(f).toLatin1();
    main += routineFile(0, 100);
    main += "begin\r\n\r\nend.\r\n";
    for (int f = 1; f < 300; ++f)
        writeFile(project.path() + QStringLiteral("/file%1.inc").arg(f), routineFile(f, 100));
    writeFile(project.path() + "/many.pas", main);
    window.LoadProject(project.path() + "/many.pas");
    CodeEditor* code = window.editor();
    code->setFocus();
    const int emptyLine = code->lineCount() - 3;
    QList<double> typed;
    for (int i = 0; i < 50; ++i) {
        code->setCaret(emptyLine, 0);
        QTest::keyClicks(code->activeView(), QStringLiteral("routine299_99"));
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(code->activeView(), Qt::Key_ParenLeft, Qt::NoModifier);
        typed.append(msSince(clock));
        code->setText(QString::fromLatin1(main));
    }
    std::printf("  typed \"(\" in the editor, %d files (median of 50): %.3f ms  [%s]\n", window.nodeCount() - 1,
                median(typed), qPrintable(window.panel(3)->text()));

    // RefreshTooltips on a 20,000-line document.
    QTemporaryDir big;
    const QByteArray bigText = document(20000);
    writeFile(big.path() + "/big.pas", bigText);
    writeFile(big.path() + "/empty.inc", "{ no routines here }\r\n");
    window.LoadProject(big.path() + "/big.pas");
    QList<double> refreshes;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer clock;
        clock.start();
        window.RefreshTooltips();
        refreshes.append(msSince(clock));
    }
    std::printf("RefreshTooltips, %d-line document, %lld headers (median of 20): %.2f ms\n", code->lineCount(),
                static_cast<long long>(window.project().routines(0).size()), median(refreshes));

    // Typing 1,000 characters, one "(" every 20; the same with AutoTooltip off for comparison.
    const QString pattern = QStringLiteral("  Value := Compute1"); // 19 characters, then "("
    for (const bool autoTooltip : {true, false}) {
        window.Settings.AutoTooltip = autoTooltip;
        code->setFocus();
        code->setCaret(10000, 0);
        QList<double> brackets;
        QList<double> others;
        QElapsedTimer total;
        total.start();
        for (int i = 0; i < 1000; ++i) {
            const bool bracket = i % 20 == 19;
            QElapsedTimer clock;
            clock.start();
            if (bracket)
                QTest::keyClick(code->activeView(), Qt::Key_ParenLeft, Qt::NoModifier);
            else
                QTest::keyClicks(code->activeView(), QString(pattern.at(i % 20)));
            (bracket ? brackets : others).append(msSince(clock));
        }
        const double all = msSince(total);
        std::printf("Typing 1,000 characters into a %d-line document, one \"(\" every 20, AutoTooltip %s:\n",
                    code->lineCount(), autoTooltip ? "on" : "off");
        std::printf("  %.3f ms per key on average; \"(\" median %.3f ms (max %.3f), other keys median %.3f ms\n",
                    all / 1000, median(brackets), *std::max_element(brackets.begin(), brackets.end()), median(others));
    }
    return 0;
}
