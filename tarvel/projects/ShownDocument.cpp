#include "projects/ShownDocument.h"

#include <QFile>

#include <sys/stat.h>

namespace tarvel {

DiskIdentity ReadDiskIdentity(const QString& path)
{
    DiskIdentity identity;
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return identity;
    identity.exists = true;
    identity.size = qint64(info.st_size);
    identity.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    identity.device = quint64(info.st_dev);
    identity.inode = quint64(info.st_ino);
    return identity;
}

void ShownDocument::attach(const QString& path)
{
    m_path = path;
    m_identity = ReadDiskIdentity(path);
    m_keptOver = DiskIdentity();
    m_modified = false;
}

void ShownDocument::detach()
{
    *this = ShownDocument();
}

ShownDocument::BeforeDrop ShownDocument::beforeDrop(bool autoSave) const
{
    if (!isOpen() || !m_modified)
        return BeforeDrop::Nothing;
    return autoSave ? BeforeDrop::Save : BeforeDrop::Ask;
}

ShownDocument::OnDisk ShownDocument::onDisk() const
{
    const DiskIdentity now = ReadDiskIdentity(m_path);
    if (!now.exists)
        return OnDisk::Vanished;
    return now == m_identity ? OnDisk::Same : OnDisk::Changed;
}

ShownDocument::OnReturn ShownDocument::onReturn() const
{
    if (!isOpen())
        return OnReturn::Nothing;
    const DiskIdentity now = ReadDiskIdentity(m_path);
    // A vanished file leaves the text as it is; the next save asks before writing it again.
    if (!now.exists || now == m_identity || now == m_keptOver)
        return OnReturn::Nothing;
    return m_modified ? OnReturn::Ask : OnReturn::Reload;
}

void ShownDocument::keepEditsOverDisk()
{
    m_keptOver = ReadDiskIdentity(m_path);
}

} // namespace tarvel
