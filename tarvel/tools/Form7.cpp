#include "tools/Form7.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "ui/Accessibility.h"
#include "ui/Windows.h"

#include <QFontDatabase>
#include <QPlainTextEdit>

Form7::Form7(const QString& applicationDirectory, QWidget* mainWindow) : QWidget(mainWindow, Qt::Window)
{
    setObjectName(QStringLiteral("Form7"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Versions history"));
    setFixedSize(qRound(7725 / 15.0), qRound(5775 / 15.0));

    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("Text1"));
    text->setAccessibleName(QStringLiteral("Version history"));
    text->setGeometry(8, 8, qRound(7455 / 15.0), qRound(5535 / 15.0));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));

    // Load: every line of the file followed by a line end; a file that cannot be read says so
    // in the box instead.
    const QString path = common::AddBackslash(applicationDirectory) + QStringLiteral("history.txt");
    const common::Result<QStringList> lines = common::ReadTextLines(path);
    if (lines) {
        QString all;
        for (const QString& line : lines.value())
            all += line + QLatin1Char('\n');
        text->setPlainText(all);
    } else {
        text->setPlainText(QStringLiteral("The version history could not be read.\n") + lines.error());
    }
    text->setFocus();
    common::CloseOnEscape(this);
    common::NameControlsForAccessibility(this);
}
