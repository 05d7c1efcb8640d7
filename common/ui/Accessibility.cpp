#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace common {

namespace {

QString withoutMnemonic(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

} // namespace

void NameControlsForAccessibility(QWidget* window)
{
    if (!window)
        return;
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        QWidget* buddy = label->buddy();
        if (buddy && buddy->accessibleName().isEmpty())
            buddy->setAccessibleName(withoutMnemonic(label->text()));
    }
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (!widget->accessibleName().isEmpty())
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (!button->text().isEmpty())
                button->setAccessibleName(withoutMnemonic(button->text()));
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setAccessibleName(withoutMnemonic(group->title()));
        }
    }
}

} // namespace common
