#include "ui/MachineMarks.h"

#include "core/OpenMsxMachineCheck.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace common {

namespace {

class MarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QString mark = index.data(kMachineMarkRole).toString();
        if (!mark.isEmpty())
            option->text += QStringLiteral("  \u2014 ") + mark;
    }
};

} // namespace

void ShowMachineMarksInList(QComboBox* box)
{
    box->view()->setItemDelegate(new MarkDelegate(box));
}

void MarkMachineItems(QComboBox* box, const OpenMsxMachineChecker& checker)
{
    // A combo box puts the current item's text into its edit field whenever that item's data
    // changes; what the user typed there stays, and nobody is told of a change that was not made.
    QLineEdit* edit = box->lineEdit();
    const QString typed = edit ? edit->text() : QString();
    const int cursor = edit ? edit->cursorPosition() : 0;
    const QSignalBlocker quiet(box);
    for (int i = 0; i < box->count(); ++i) {
        const QString data = box->itemData(i).toString();
        const QString machine = data.isEmpty() ? box->itemText(i) : data;
        if (!checker.machines().contains(machine))
            continue;
        const MachineCheck check = checker.check(machine);
        const QString mark = MachineCheckMark(check);
        box->setItemData(i, mark, kMachineMarkRole);
        box->setItemData(i, check.reason.isEmpty() ? mark : mark + QStringLiteral(": ") + check.reason, Qt::ToolTipRole);
    }
    if (edit && edit->text() != typed) {
        const QSignalBlocker quietEdit(edit);
        edit->setText(typed);
        edit->setCursorPosition(cursor);
    }
}

} // namespace common
