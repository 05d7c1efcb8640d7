// The main window's care for unsaved work: the question before edits would be dropped, the save
// that notices a file changed on disk, the reload of a file changed outside and the modified mark.
// The decisions are the shown document's (tarvel::ShownDocument); this file asks the user and acts.

#include "shell/Form1.h"

#include "shell/CodeEditor.h"
#include "ui/Dialogs.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTreeWidgetItem>

using common::Dialogs;

bool Form1::mayDropEdits(bool projectToo)
{
    tarvel::ShownDocument& document = m_project.document();
    document.setModified(m_code->isModified());
    switch (document.beforeDrop(Settings.AutoSave)) {
    case tarvel::ShownDocument::BeforeDrop::Nothing:
        break;
    case tarvel::ShownDocument::BeforeDrop::Ask: {
        const Dialogs::Answer answer =
            m_dialogs.message(this, QStringLiteral("Save changes to %1?").arg(m_project.shownName()),
                              QStringLiteral("Save changes"), Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel)
            return false;
        if (answer != Dialogs::Answer::Yes)
            break;
        [[fallthrough]];
    }
    case tarvel::ShownDocument::BeforeDrop::Save:
        if (saveShownDocument() == SaveOutcome::NotSaved)
            return false;
        break;
    }
    if (projectToo && m_project.infoUnsaved()) {
        const Dialogs::Answer answer = m_dialogs.message(
            this, QStringLiteral("Save changes to the properties of project %1?").arg(m_project.info().ProjectName),
            QStringLiteral("Save changes"), Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel || (answer == Dialogs::Answer::Yes && !saveProject()))
            return false;
    }
    return true;
}

Form1::SaveOutcome Form1::saveShownDocument()
{
    tarvel::ShownDocument& document = m_project.document();
    if (!document.isOpen())
        return SaveOutcome::NotSaved;
    const QString name = m_project.shownName();
    switch (document.onDisk()) {
    case tarvel::ShownDocument::OnDisk::Same:
        break;
    case tarvel::ShownDocument::OnDisk::Changed: {
        const Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("%1 has been changed on disk since Tarvel read it.\n\n"
                           "Yes: overwrite it with the text shown here.\n"
                           "No: read it again from disk, dropping the edits made here.\n"
                           "Cancel: leave both as they are.")
                .arg(name),
            QStringLiteral("File changed on disk"), Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNoCancel);
        if (answer == Dialogs::Answer::Cancel)
            return SaveOutcome::NotSaved;
        if (answer == Dialogs::Answer::No) {
            const Dialogs::Answer sure = m_dialogs.message(
                this, QStringLiteral("Drop the edits made to %1 and read it again from disk?").arg(name),
                QStringLiteral("File changed on disk"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
            if (sure != Dialogs::Answer::Yes || !reloadShownDocument())
                return SaveOutcome::NotSaved;
            return SaveOutcome::Reloaded;
        }
        break;
    }
    case tarvel::ShownDocument::OnDisk::Vanished: {
        const Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("%1 has been deleted or moved on disk since Tarvel read it.\nSave the text shown here as\n%2?")
                .arg(name, document.path()),
            QStringLiteral("File changed on disk"), Dialogs::Icon::Exclamation, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes)
            return SaveOutcome::NotSaved;
        break;
    }
    }
    QString error;
    if (!m_code->saveFile(document.path(), false, &error)) {
        m_dialogs.message(this, QStringLiteral("The file could not be saved:\n%1\n\n%2").arg(document.path(), error),
                          QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        return SaveOutcome::NotSaved;
    }
    attachShownDocument(document.path());
    return SaveOutcome::Saved;
}

bool Form1::reloadShownDocument()
{
    const QString path = m_project.document().path();
    int line = 0;
    int column = 0;
    m_code->selectionStart(&line, &column);
    if (!loadDocument(path))
        return false;
    m_code->setCaret(line, column);
    attachShownDocument(path);
    refreshRoutines(true);
    return true;
}

void Form1::checkShownDocumentOnDisk()
{
    // A build reads the files it was started with; the questions wait until it has ended.
    if (m_checkingDisk || m_building || m_exiting)
        return;
    const QScopedValueRollback<bool> checking(m_checkingDisk, true);
    tarvel::ShownDocument& document = m_project.document();
    document.setModified(m_code->isModified());
    const QString name = m_project.shownName();
    switch (document.onReturn()) {
    case tarvel::ShownDocument::OnReturn::Nothing:
        return;
    case tarvel::ShownDocument::OnReturn::Reload:
        if (reloadShownDocument())
            m_panels[2]->setText(QStringLiteral("%1 was changed on disk and has been read again.").arg(name));
        return;
    case tarvel::ShownDocument::OnReturn::Ask: {
        const Dialogs::Answer answer = m_dialogs.message(
            this,
            QStringLiteral("%1 has been changed on disk, and it has edits here that are not saved.\n\n"
                           "Read it again from disk, dropping the edits made here?")
                .arg(name),
            QStringLiteral("File changed on disk"), Dialogs::Icon::Question, Dialogs::Buttons::YesNo);
        if (answer != Dialogs::Answer::Yes || !reloadShownDocument())
            document.keepEditsOverDisk();
        return;
    }
    }
}

void Form1::attachShownDocument(const QString& path)
{
    m_project.document().attach(path);
    m_project.document().setModified(m_code->isModified());
    renderModifiedMark();
}

void Form1::renderModifiedMark()
{
    const bool modified = m_project.document().isOpen() && m_code->isModified();
    setWindowModified(modified);
    // Every node of the shown file: a file included twice has a node in each place.
    const QString shown = m_project.shownName();
    for (int i = 2; i <= m_project.nodeCount(); ++i) {
        QTreeWidgetItem* item = node(i);
        if (!item)
            continue;
        const bool marked = modified && m_project.node(i).text == shown;
        QFont font = item->font(0);
        if (font.italic() == marked)
            continue;
        font.setItalic(marked);
        font.setBold(marked);
        item->setFont(0, font);
        item->setData(0, Qt::AccessibleDescriptionRole, marked ? QStringLiteral("unsaved edits") : QVariant());
    }
}

void Form1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Back from another program: after the activation has settled, so a question can open.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, &Form1::checkShownDocumentOnDisk);
}
