#pragma once

#include "ScopedEnvironment.h"
#include "TestFiles.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Points openMSX's machine folders (system and user) at folders of the test's own that hold the
// given machines, for the object's lifetime.
class MachineFolders {
public:
    explicit MachineFolders(const QStringList& machines)
    {
        for (const QString& machine : machines)
            testfiles::write(m_system.path() + QStringLiteral("/machines/") + machine + QStringLiteral(".xml"), "x");
        m_systemData = std::make_unique<ScopedEnvironment>("OPENMSX_SYSTEM_DATA", QFile::encodeName(m_system.path()));
        m_userData = std::make_unique<ScopedEnvironment>("OPENMSX_USER_DATA", QFile::encodeName(m_user.path()));
    }

private:
    QTemporaryDir m_system;
    QTemporaryDir m_user;
    std::unique_ptr<ScopedEnvironment> m_systemData;
    std::unique_ptr<ScopedEnvironment> m_userData;
};
