#include "BuildTestKit.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace buildtest {

void expectSameAsReference(const QByteArray& actual, const QString& referenceName)
{
    const QByteArray expected = testfiles::read(testfiles::testDataDir() + "/build/" + referenceName);
    ASSERT_FALSE(expected.isEmpty()) << "missing reference file " << referenceName.toStdString();
    EXPECT_EQ(actual, expected) << "actual:\n"
                                << actual.toStdString() << "\nexpected:\n"
                                << expected.toStdString() << "\nactual hex:   "
                                << testfiles::hex(actual).toStdString()
                                << "\nexpected hex: " << testfiles::hex(expected).toStdString();
}

static void copyTool(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
    QFile::setPermissions(to, QFile::permissions(from) | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
}

QByteArray makeKit(const QString& appDir)
{
    const QByteArray runtime("RUNTIME\x01\x02\xFF", 10);
    copyTool(testfiles::testToolsDir() + "/tp3", appDir + "/compiler/TP3");
    copyTool(testfiles::kitSourceDir() + "/dsk/dsktool", appDir + "/dsk/dsktool");
    testfiles::write(appDir + "/compiler/runtime.com", runtime);
    return runtime;
}

static bool runMtools(const QString& tool, const QStringList& arguments)
{
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MTOOLSRC", "/dev/null");
    environment.insert("MTOOLS_SKIP_CHECK", "1");
    run.setProcessEnvironment(environment);
    run.start(tool, arguments);
    return run.waitForFinished(30000) && run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0;
}

bool makeBootDisk(const QString& path, const QStringList& systemFiles)
{
    if (QStandardPaths::findExecutable("mformat").isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    if (!runMtools("mformat", {"-C", "-i", path, "-f", "720", "-t", "80", "-h", "2", "-s", "9", "::"}))
        return false;
    // A boot sector of its own, so a copy can be told from a fresh disk.
    QFile disk(path);
    if (!disk.open(QIODevice::ReadWrite) || !disk.seek(30) || disk.write("\x18\xFE" "BOOT", 6) != 6)
        return false;
    disk.close();
    QTemporaryDir files;
    for (const QString& name : systemFiles) {
        testfiles::write(files.filePath(name), "system file " + name.toLatin1());
        if (!runMtools("mcopy", {"-i", path, files.filePath(name), "::" + name}))
            return false;
    }
    return true;
}

} // namespace buildtest
