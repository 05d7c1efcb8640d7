#include "ui/OpenDialogFilter.h"

#include <QStringList>

namespace common {

QList<Dialogs::Filter> ParseDialogFilter(const QString& filterText)
{
    QString text = filterText;
    if (!text.endsWith(QLatin1Char('|')))
        text += QLatin1Char('|');
    QStringList parts = text.split(QLatin1Char('|'));
    parts.removeLast(); // the part after the closing bar
    QList<Dialogs::Filter> filters;
    for (int i = 0; i < parts.size(); i += 2) {
        Dialogs::Filter filter;
        filter.description = parts.at(i);
        if (i + 1 < parts.size()) {
            const QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'));
            for (const QString& pattern : patterns) {
                const QString trimmed = pattern.trimmed();
                if (!trimmed.isEmpty())
                    filter.patterns.append(trimmed);
            }
        }
        filters.append(filter);
    }
    return filters;
}

QStringList QtFilterStrings(const QList<Dialogs::Filter>& filters)
{
    QStringList result;
    for (const Dialogs::Filter& filter : filters) {
        QStringList patterns = filter.patterns;
        // "*.*" means every file here as on Windows, dot or not.
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // A description that names its patterns already ("PSP Palette (*.pal)") gives them once:
        // the dialog shows the patterns it filters by, in place of the written ones.
        QString description = filter.description.trimmed();
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')')) && description.indexOf(QLatin1Char('*'), open) > open)
            description = description.left(open).trimmed();
        if (patterns.isEmpty())
            result.append(description + QStringLiteral(" (*)"));
        else
            result.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
    }
    return result;
}

} // namespace common
