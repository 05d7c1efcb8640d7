#pragma once

#include <QString>

namespace tarvel {

// The open project: its name ("Project" means it has none yet) and the program's start and end
// addresses for the compiler, held as signed 16-bit values (0xD200 is -11776).
struct ProjectInfo {
    QString ProjectName = QStringLiteral("Project");
    qint16 StartAddress = qint16(0x2E9B);
    qint16 EndAddress = qint16(0xD200);

    bool operator==(const ProjectInfo& other) const
    {
        return ProjectName == other.ProjectName && StartAddress == other.StartAddress && EndAddress == other.EndAddress;
    }
    bool operator!=(const ProjectInfo& other) const { return !(*this == other); }
};

inline const QString UnnamedProject = QStringLiteral("Project");

} // namespace tarvel
