#pragma once

#include "ui/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Stands in for the real dialogs in tests: records every call and gives the answers queued by
// the test, in order. An unqueued message box answers Ok (or Cancel when Ok is not offered);
// an unqueued file dialog or folder picker is cancelled.
class ScriptedDialogs final : public common::Dialogs {
public:
    enum class Kind { Message, Open, Save, Folder };

    struct Call {
        Kind kind = Kind::Message;
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString initialDirectory;
        QString presetName;
        QList<Filter> filters;
    };

    void queueAnswer(Answer answer) { m_answers.append(answer); }
    void queuePath(const QString& path) { m_paths.append(path); }

    // Runs while a dialog is "open", as a user might act then (for example a second command).
    void onCall(std::function<void(const Call&)> hook) { m_hook = std::move(hook); }

    const QList<Call>& calls() const { return m_calls; }
    QList<Call> messages() const;
    void clear() { m_calls.clear(); }

    Answer message(QWidget* owner, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString openFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                     const QList<Filter>& filters) override;
    QString saveFile(QWidget* owner, const QString& title, const QString& initialDirectory,
                     const QString& presetName, const QList<Filter>& filters) override;
    QString pickFolder(QWidget* owner, const QString& title) override;

private:
    QString nextPath();
    void record(const Call& call);

    QList<Call> m_calls;
    QList<Answer> m_answers;
    QStringList m_paths;
    std::function<void(const Call&)> m_hook;
};
