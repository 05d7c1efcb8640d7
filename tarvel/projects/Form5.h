#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QListWidget;
class QPushButton;

// The project chooser: lists the template folders of the kit's projects folder. Its answer goes
// into the text passed in: "" when cancelled, else "1" or "0" (an AUTOEXEC.BAT wanted or not)
// followed by the template's name.
class Form5 : public QDialog {
    Q_OBJECT
public:
    Form5(const QString& applicationDirectory, QString& templateChoice, QWidget* mainWindow);

    // The template folder names of `applicationDirectory`/projects, sorted by character codes.
    static QStringList templateNames(const QString& applicationDirectory);

    void Command1_Click();
    void Command2_Click();

private:
    QString& m_choice;
    QListWidget* m_list = nullptr;
    QCheckBox* m_autoexec = nullptr;
    QPushButton* m_open = nullptr;
};
