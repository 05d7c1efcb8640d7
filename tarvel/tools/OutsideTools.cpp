#include "tools/OutsideTools.h"

#include "core/Paths.h"

#include <QFileInfo>

namespace tarvel {

QStringList CalculatorPrograms()
{
    return {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
            QStringLiteral("qalculate-gtk"), QStringLiteral("xcalc")};
}

QString ImageConverterPath(const QString& applicationDirectory)
{
    for (const QString& name : {QStringLiteral("msximg"), QStringLiteral("msximg.exe")}) {
        const QString path = common::AddBackslash(applicationDirectory) + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString HelpFilePath(const QString& applicationDirectory)
{
    return common::AddBackslash(applicationDirectory) + QStringLiteral("tp3reference.chm");
}

} // namespace tarvel
