#pragma once

#include <QWidget>

// The version history: history.txt of the application folder, line by line, read-only.
// Modeless.
class Form7 : public QWidget {
    Q_OBJECT
public:
    Form7(const QString& applicationDirectory, QWidget* mainWindow);
};
