#include "tools/SystemProgramStarter.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace tarvel {

SystemProgramStarter::SystemProgramStarter(QStringList searchPath) : m_searchPath(std::move(searchPath)) {}

QString SystemProgramStarter::findProgram(const QStringList& names) const
{
    for (const QString& name : names) {
        const QString found = QStandardPaths::findExecutable(name, m_searchPath);
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

bool SystemProgramStarter::start(const QString& program, const QStringList& arguments)
{
    return !program.isEmpty() && QProcess::startDetached(program, arguments);
}

bool SystemProgramStarter::open(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace tarvel
