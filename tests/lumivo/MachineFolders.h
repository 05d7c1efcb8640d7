#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// Points openMSX's machine folders (system and user) at folders of the test's own that hold the
// given machines, for the object's lifetime.
class MachineFolders {
public:
    explicit MachineFolders(const QStringList& machines)
        : m_oldSystem(qgetenv("OPENMSX_SYSTEM_DATA")), m_oldUser(qgetenv("OPENMSX_USER_DATA"))
    {
        for (const QString& machine : machines)
            testfiles::write(m_system.path() + QStringLiteral("/machines/") + machine + QStringLiteral(".xml"), "x");
        qputenv("OPENMSX_SYSTEM_DATA", QFile::encodeName(m_system.path()));
        qputenv("OPENMSX_USER_DATA", QFile::encodeName(m_user.path()));
    }
    ~MachineFolders()
    {
        restore("OPENMSX_SYSTEM_DATA", m_oldSystem);
        restore("OPENMSX_USER_DATA", m_oldUser);
    }

private:
    static void restore(const char* name, const QByteArray& old)
    {
        if (old.isNull())
            qunsetenv(name);
        else
            qputenv(name, old);
    }

    QTemporaryDir m_system;
    QTemporaryDir m_user;
    QByteArray m_oldSystem;
    QByteArray m_oldUser;
};
