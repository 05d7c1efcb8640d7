#pragma once

#include "shell/Form1.h"

#include "BuildTestKit.h"
#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "build/Form2.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QLabel>
#include <QTest>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <memory>

// A kit that can build (stand-in compiler, dsktool, runtime.com) and a project GAME.PAS + A.INC
// in it, opened in a Tarvel window.
class BuildProjectFixture : public ::testing::Test {
protected:
    void SetUp() override { runtime = buildtest::makeKit(kit.dir()); }

    // Writes the project into `folder` of the kit and opens it; `main` is the main file's text.
    void open(const QString& folder, const QByteArray& main, const QByteArray& include = "procedure a;\r\nbegin end;\r\n")
    {
        dir = kit.path(folder) + "/";
        testfiles::write(dir + "game.pas", main);
        testfiles::write(dir + "a.inc", include);
        testfiles::write(dir + "game.tpj", "Demo\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        form = kit.startForm(dialogs);
        ASSERT_TRUE(form->OpenProjectFile(dir + "game.tpj"));
    }
    void open(const QByteArray& main) { open(QStringLiteral("work"), main); }

    QAction* item(const char* name) const { return form->findChild<QAction*>(QString::fromLatin1(name)); }
    void trigger(const char* name) const { item(name)->trigger(); }
    QString monitorText() const { return form->monitor() ? form->monitor()->text() : QString(); }
    QString status() const { return form->panel(3)->text(); }
    QString shown() const { return form->project().shownName(); }
    // A key into the editor, which has the focus after every jump; the user comes back to the
    // main window from the monitor first.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!form->isActiveWindow()) {
            form->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        }
        QTest::keyClick(form->editor()->activeView(), key, modifiers);
    }

    TarvelKit kit;
    ScriptedDialogs dialogs;
    std::unique_ptr<Form1> form;
    QByteArray runtime; // the kit's runtime.com
    QString dir;        // the project folder, ending in '/'
};
