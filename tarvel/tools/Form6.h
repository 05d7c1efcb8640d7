#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace tarvel {
class ProgramStarter;
}

// About Tarvel: logo, version, credits, a link to the README the kit ships that reacts to the
// mouse like a hyperlink (no link when there is none), and "Versions history", which asks for the
// history window and closes this one. Modeless.
class Form6 : public QWidget {
    Q_OBJECT
public:
    // `readmePath`: the kit's README, or "" when it ships none.
    Form6(tarvel::ProgramStarter& starter, QWidget* mainWindow, const QString& readmePath);

    // Every 100 ms: the link returns to its normal look once the mouse is off it.
    void Timer1_Timer();

signals:
    void historyRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setLinkLook(const QColor& colour, bool underlined);

    tarvel::ProgramStarter& m_starter;
    QLabel* m_link = nullptr;
    QString m_readme;
    QLabel* m_history = nullptr;
    QTimer* m_timer = nullptr;
};
