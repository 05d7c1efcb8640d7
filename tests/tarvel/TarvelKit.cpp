#include "TarvelKit.h"

#include "core/AppFolders.h"

#include "ScriptedDialogs.h"
#include "TestFiles.h"
#include "shell/Form1.h"

#include <QDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

TarvelKit::TarvelKit(bool writeQuietConfig)
{
    testfiles::write(path("help/autocomplete.txt"), "WriteLn(items)\r\nGotoXY(x, y: integer)\r\nClrScr\r\n");
    QDir().mkpath(path("projects"));
    QDir().mkpath(path("compiler"));
    QDir().mkpath(path("dsk"));
    if (writeQuietConfig) {
        tarvel::ConfigSettings settings = defaults();
        settings.ShowNewProjectDialog = false;
        writeConfig(settings);
    }
}

tarvel::ConfigSettings TarvelKit::defaults() const
{
    tarvel::ConfigSettings settings;
    tarvel::SetDefaultSettings(settings, dir());
    return settings;
}

void TarvelKit::writeConfig(const tarvel::ConfigSettings& settings) const
{
    testfiles::write(path("config.cfg"), tarvel::EncodeSettings(settings));
}

std::unique_ptr<Form1> TarvelKit::startForm(ScriptedDialogs& dialogs, const QString& commandLine) const
{
    auto form = std::make_unique<Form1>(dir(), dialogs, commandLine);
    form->start();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
}

std::unique_ptr<Form1> TarvelKit::startForm(ScriptedDialogs& dialogs, const QByteArrayList& arguments) const
{
    auto form = std::make_unique<Form1>(common::PortableFolders(dir()), dialogs, arguments);
    form->start();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
}

void clickTreeNode(Form1& form, int index, Qt::MouseButton button)
{
    QTreeWidget* tree = form.tree();
    QTreeWidgetItem* item = form.node(index);
    ASSERT_NE(item, nullptr) << "no node " << index;
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), button, Qt::NoModifier, tree->visualItemRect(item).center());
}
