#pragma once

#include "projects/ProjectInfo.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace common {
class Dialogs;
}

// Project properties: the project's name and the program's start and end addresses, typed as
// four hexadecimal digits. It edits a copy of the project record; the caller takes the accepted
// record, if any, and applies it.
class Form3 : public QDialog {
    Q_OBJECT
public:
    Form3(const tarvel::ProjectInfo& project, common::Dialogs& dialogs, QWidget* mainWindow);

    // The record as OK stored it; nothing when the window was cancelled or closed.
    const std::optional<tarvel::ProjectInfo>& accepted() const { return m_accepted; }

    void Command1_Click(); // Ok
    void Command2_Click(); // Cancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    tarvel::ProjectInfo m_project;
    common::Dialogs& m_dialogs;
    std::optional<tarvel::ProjectInfo> m_accepted;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_start = nullptr;
    QLineEdit* m_end = nullptr;
};
