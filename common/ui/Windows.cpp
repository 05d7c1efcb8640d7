#include "ui/Windows.h"

#include "ui/Dialogs.h"
#include "ui/OpenDialogFilter.h"

#include <QShortcut>
#include <QWidget>

#include <cmath>

namespace common {

void CloseOnEscape(QWidget* window)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}


void CenterForm(const QWidget* reference, QWidget* window)
{
    if (!reference || !window)
        return;
    const QRect ref = reference->frameGeometry();
    const QRect own = window->frameGeometry();
    const int dx = (ref.width() - own.width()) / 2;
    const int dy = static_cast<int>(std::lround((ref.height() - own.height()) / 2.0));
    window->move(ref.left() + dx, ref.top() + dy);
}

QString BrowseForFolder(Dialogs& dialogs, QWidget* owner, const QString& title)
{
    QString folder = dialogs.pickFolder(owner, title);
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

QString ShowOpenDialog(Dialogs& dialogs, QWidget* owner, const QString& filterText, const QString& title,
                       const QString& initialDirectory, bool multiSelect)
{
    Q_UNUSED(multiSelect) // every caller asks for one file
    return dialogs.openFile(owner, title, initialDirectory, ParseDialogFilter(filterText)).trimmed();
}

} // namespace common
