#include "BuildTestKit.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

} // namespace buildtest
