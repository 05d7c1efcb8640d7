#pragma once

#include <QElapsedTimer>
#include <QListWidget>
#include <QString>

namespace lumivo {

// A folder list: the open folder's ancestors from the root down, the open folder itself
// (highlighted), then its subfolders. Activating an entry (double click or Enter) opens it.
// Typing the start of a folder's name highlights it.
class FolderList final : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // The folder of the entry at the list's current position (highlighted, not necessarily
    // opened); the open folder when no entry is current.
    QString currentFolder() const;
    // Opens the folder; pathChanged follows when it differs from the open one.
    void setPath(const QString& path);

    void keyboardSearch(const QString& search) override;

signals:
    void pathChanged(const QString& path);
    // The highlighted entry moved.
    void currentFolderChanged();

private:
    void fill();

    QString m_path;
    QString m_typed;
    QElapsedTimer m_sinceTyped;
};

} // namespace lumivo
