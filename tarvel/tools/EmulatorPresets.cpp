#include "tools/EmulatorPresets.h"

#include "core/Paths.h"

#include <QProcess>

namespace tarvel {

QStringList EmulatorPresetNames()
{
    return {QStringLiteral("openMSX"), QStringLiteral("fMSX"), QStringLiteral("Custom")};
}

QStringList PresetProgramNames(EmulatorPreset preset)
{
    switch (preset) {
    case EmulatorPreset::OpenMsx:
        return {QStringLiteral("openmsx")};
    case EmulatorPreset::Fmsx:
        return {QStringLiteral("fmsx")};
    case EmulatorPreset::Custom:
        break;
    }
    return {};
}

QString PresetProgramMissingText(EmulatorPreset preset)
{
    switch (preset) {
    case EmulatorPreset::OpenMsx:
        return QStringLiteral("The program openmsx was not found. Install it (Debian package openmsx) or choose it "
                              "with Browse.");
    case EmulatorPreset::Fmsx:
        return QStringLiteral("The program fmsx was not found. Debian has no package for it: build it from its "
                              "sources, or choose it with Browse.");
    case EmulatorPreset::Custom:
        break;
    }
    return {};
}

QString OpenMsxCommandLine(const QString& machine)
{
    if (machine.isEmpty())
        return QStringLiteral("-diska %dsk");
    const QString word = machine.contains(QLatin1Char(' ')) ? QLatin1Char('"') + machine + QLatin1Char('"') : machine;
    return QStringLiteral("-machine ") + word + QStringLiteral(" -diska %dsk");
}

QString FmsxCommandLine()
{
    return QStringLiteral("-diska %dsk -msx2");
}

bool ProgramNamed(const QString& path, const QString& name)
{
    return common::ExtractFileName(path).startsWith(name, Qt::CaseInsensitive);
}

QString OpenMsxMachineOf(const QString& commandLine)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    const qsizetype at = words.indexOf(QStringLiteral("-machine"));
    return at >= 0 && at + 1 < words.size() ? words.at(at + 1) : QString();
}

EmulatorPreset DetectEmulatorPreset(const QString& emulatorPath, const QString& commandLine)
{
    if (ProgramNamed(emulatorPath, QStringLiteral("openmsx"))
        && QProcess::splitCommand(commandLine) == QProcess::splitCommand(OpenMsxCommandLine(OpenMsxMachineOf(commandLine))))
        return EmulatorPreset::OpenMsx;
    if (ProgramNamed(emulatorPath, QStringLiteral("fmsx"))
        && QProcess::splitCommand(commandLine) == QProcess::splitCommand(FmsxCommandLine()))
        return EmulatorPreset::Fmsx;
    return EmulatorPreset::Custom;
}

} // namespace tarvel
