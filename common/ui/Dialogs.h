#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace common {

// Every message box and file dialog of both programs goes through this interface, so tests can
// replace it with a scripted stand-in that records each call and gives the answers set up.
class Dialogs {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    // One filter entry of a file dialog: the description as shown and its patterns. A filter
    // marked `executables` shows the files the user may run, whatever their names.
    struct Filter {
        QString description;
        QStringList patterns;
        bool executables = false;
    };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget* owner, const QString& text, const QString& title, Icon icon,
                           Buttons buttons) = 0;

    // Open and Save dialogs. They return the chosen path, or "" when cancelled.
    virtual QString openFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                             const QList<Filter>& filters) = 0;
    virtual QString saveFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                             const QString& presetName, const QList<Filter>& filters) = 0;

    // The folder picker: the chosen folder without a trailing separator, or "".
    virtual QString pickFolder(QWidget* owner, const QString& title) = 0;
};

} // namespace common
