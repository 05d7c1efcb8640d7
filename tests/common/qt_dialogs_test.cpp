#include "ui/QtDialogs.h"

#include "TestFiles.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The names the dialog's list offers (Qt's dialog may show entries that a filter excludes, greyed).
QStringList shownNames(QFileDialog* dialog)
{
    auto* list = dialog->findChild<QListView*>("listView");
    QStringList names;
    if (!list || !list->model())
        return names;
    const QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, list->rootIndex());
        if (index.flags() & Qt::ItemIsEnabled)
            names.append(index.data().toString());
    }
    names.sort();
    return names;
}

} // namespace

TEST(QtDialogs, AProgramsFilterListsFoldersAndExecutableFilesOnly)
{
    QTemporaryDir dir;
    testfiles::write(dir.filePath("openmsx"), "#!/bin/sh\n");
    QFile::setPermissions(dir.filePath("openmsx"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    testfiles::write(dir.filePath("notes.txt"), "text");
    testfiles::write(dir.filePath("fmsx.exe"), "MZ");
    testfiles::write(dir.filePath("tools/x"), "");

    QStringList programs;
    QStringList windows;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // The folder is read, and a new filter applied, in the background.
        testfiles::waitUntil([&] { return shownNames(dialog).size() == 2; });
        programs = shownNames(dialog);
        // The user picks the second filter in the dialog's list of file types.
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(types, nullptr);
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        ASSERT_EQ(dialog->selectedNameFilter(), dialog->nameFilters().at(1));
        testfiles::waitUntil([&] { return shownNames(dialog).contains("fmsx.exe") && shownNames(dialog).size() == 2; }, 5000);
        windows = shownNames(dialog);
        dialog->reject();
    });
    common::QtDialogs dialogs;
    const QString chosen = dialogs.openFile(nullptr, "Selectr emulator", dir.path(),
                                            {{"Programs", {}, true}, {"Windows programs", {"*.exe"}}});
    EXPECT_EQ(chosen, "");
    EXPECT_EQ(programs, (QStringList{"openmsx", "tools"}));
    EXPECT_EQ(windows, (QStringList{"fmsx.exe", "tools"}));
}
