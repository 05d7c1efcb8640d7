#pragma once

#include <QListWidget>
#include <QString>

namespace lumivo {

// A file list: the files of one folder whose names match a pattern ("*.dsk", or several joined
// by ';'), letter case ignored, sorted by name.
class FileList final : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    QString pattern() const { return m_pattern; }
    void setPath(const QString& path);
    void setPattern(const QString& pattern);

    // The selected file's name as the list shows it, or "" when none is selected.
    QString fileName() const;

private:
    void fill();

    QString m_path;
    QString m_pattern;
};

} // namespace lumivo
