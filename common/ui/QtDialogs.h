#pragma once

#include "ui/Dialogs.h"

namespace common {

// The real dialogs: QMessageBox and QFileDialog.
class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* owner, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                     const QList<Filter>& filters) override;
    QString saveFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                     const QString& presetName, const QList<Filter>& filters) override;
    QString pickFolder(QWidget* owner, const QString& title) override;
};

} // namespace common
