#include "ScriptedDialogs.h"

QList<ScriptedDialogs::Call> ScriptedDialogs::messages() const
{
    QList<Call> result;
    for (const Call& call : m_calls) {
        if (call.kind == Kind::Message)
            result.append(call);
    }
    return result;
}

void ScriptedDialogs::record(const Call& call)
{
    m_calls.append(call);
    if (m_hook)
        m_hook(call);
}

QString ScriptedDialogs::nextPath()
{
    return m_paths.isEmpty() ? QString() : m_paths.takeFirst();
}

common::Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title, Icon icon,
                                                 Buttons buttons)
{
    Call call;
    call.kind = Kind::Message;
    call.text = text;
    call.title = title;
    call.icon = icon;
    call.buttons = buttons;
    record(call);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Cancel;
}

QString ScriptedDialogs::openFile(QWidget*, const QString& title, const QString& initialDirectory,
                                  const QList<Filter>& filters)
{
    Call call;
    call.kind = Kind::Open;
    call.title = title;
    call.initialDirectory = initialDirectory;
    call.filters = filters;
    record(call);
    return nextPath();
}

QString ScriptedDialogs::saveFile(QWidget*, const QString& title, const QString& initialDirectory,
                                  const QString& presetName, const QList<Filter>& filters)
{
    Call call;
    call.kind = Kind::Save;
    call.title = title;
    call.initialDirectory = initialDirectory;
    call.presetName = presetName;
    call.filters = filters;
    record(call);
    return nextPath();
}

QString ScriptedDialogs::pickFolder(QWidget*, const QString& title)
{
    Call call;
    call.kind = Kind::Folder;
    call.title = title;
    record(call);
    return nextPath();
}
