#pragma once

class QComboBox;

namespace common {

class OpenMsxMachineChecker;

// The item role that holds a machine's mark ("starts, disk drive", ...). The list shows it after
// the name; the name itself stays the item's text, so choosing an item puts only the name in
// an editable box.
inline constexpr int kMachineMarkRole = 0x0100 + 77; // Qt::UserRole + 77

// Makes the combo box's list show each item's mark after its name.
void ShowMachineMarksInList(QComboBox* box);

// Marks the items that name a checked machine (the item's data, else its text, is the name):
// the mark in kMachineMarkRole, the mark and openMSX's reason as its tool tip.
void MarkMachineItems(QComboBox* box, const OpenMsxMachineChecker& checker);

} // namespace common
