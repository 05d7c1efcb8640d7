#include "ToolsTestSupport.h"

#include "TestFiles.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : m_name(name), m_old(qgetenv(name)), m_had(qEnvironmentVariableIsSet(name))
{
    qputenv(name, value);
}

ScopedEnv::~ScopedEnv()
{
    if (m_had)
        qputenv(m_name.constData(), m_old);
    else
        qunsetenv(m_name.constData());
}

UrlRecorder::UrlRecorder(const QString& scheme) : m_scheme(scheme)
{
    QDesktopServices::setUrlHandler(scheme, this, "openUrl");
}

UrlRecorder::~UrlRecorder()
{
    QDesktopServices::unsetUrlHandler(m_scheme);
}

void UrlRecorder::openUrl(const QUrl& url)
{
    urls.append(url);
}

StandIns::StandIns()
    : m_log("RAN_LOG", QFile::encodeName(m_dir.filePath("ran.txt"))),
      m_go("RAN_GO", QFile::encodeName(m_dir.filePath("go")))
{
    QDir().mkpath(bin());
}

void StandIns::add(const QString& name, const QString& folder) const
{
    const QString target = (folder.isEmpty() ? bin() : folder) + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(testfiles::testToolsDir() + "/ran", target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void StandIns::release() const
{
    testfiles::write(go(), "go");
}

QStringList StandIns::waitForLines(int count) const
{
    QStringList lines;
    testfiles::waitUntil([&] {
        lines = QString::fromLocal8Bit(testfiles::read(log())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.size() >= count;
    });
    return lines.size() >= count ? lines : QStringList();
}
