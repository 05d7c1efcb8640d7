#pragma once

#include "shell/ConfigSettings.h"

#include <QByteArrayList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class Form1;
class ScriptedDialogs;

// A mouse click on node `index` of the main window's tree, as a user makes it.
void clickTreeNode(Form1& form, int index, Qt::MouseButton button = Qt::LeftButton);

// A fresh application folder for one test: a word list, a projects folder and, unless told
// otherwise, a config.cfg that keeps the project chooser from opening at start.
class TarvelKit {
public:
    explicit TarvelKit(bool writeQuietConfig = true);

    QString dir() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    void writeConfig(const tarvel::ConfigSettings& settings) const;
    tarvel::ConfigSettings defaults() const;

    // A Form1 on this kit, started (shown, command line handled).
    std::unique_ptr<Form1> startForm(ScriptedDialogs& dialogs, const QString& commandLine = QString()) const;
    // The same with the arguments as bytes, as the system passes them.
    std::unique_ptr<Form1> startForm(ScriptedDialogs& dialogs, const QByteArrayList& arguments) const;

private:
    QTemporaryDir m_dir;
};
