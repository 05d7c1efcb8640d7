#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class QLabel;
class QPlainTextEdit;
class QTimer;

// The compilation monitor: a small modeless window that stays on top while a build runs and then
// shows its outcome. An animated picture on the left tells compiling, error or success; the text
// box on the right holds the messages. The build drives it through the public methods; the window
// itself only animates and closes (Esc or its close box).
//
// Typical use by the main window, which keeps one Form2 for the whole run:
//     monitor->bringUp(this, projectName);              // before the size check / the compiler
//     monitor->showSizeError(projectDir);                // or, after the compiler:
//     monitor->showSuccess(outcome.report);              // BuildOutcome::report
//     monitor->showErrors(outcome.report);
//     monitor->close();                                  // Compile and Run, before dsktool
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // Loads the window: centred over the main window, topmost, text "Compiling <name>...", the
    // first compiling picture shown, the compiling animation running, shown modeless.
    void load(QWidget* mainWindow, const QString& projectName);

    // Shows the window for a build: loads it when it is not loaded; a window still open from an
    // earlier build is shown as it stands, its text and pictures unchanged, unless it shows that
    // build's errors: those are no longer current, and the window starts over as load() does.
    void bringUp(QWidget* mainWindow, const QString& projectName);

    [[nodiscard]] bool isLoaded() const { return m_loaded; }

    // Error state with the message that the project directory is too large for a disk, and
    // after it the largest files in it, if given.
    void showSizeError(const QString& projectDir, const QStringList& largestFiles = {});
    // Success state; `report` (it starts with its own line break) is appended to the text.
    void showSuccess(const QString& report);
    // Error state; `report` replaces the text.
    void showErrors(const QString& report);
    // Error state with the list of `records` error records (ErrorReportText: two lines each, in
    // order). A double click on a line of a record, or Enter with the caret on one, activates it.
    void showErrorList(const QString& report, int records);
    // Selects the two lines of record `index` and scrolls them into view.
    void markRecord(int index);

    // The messages, lines separated by CR LF.
    [[nodiscard]] QString text() const;

signals:
    // The window was closed (unloaded); the next bringUp() loads it afresh.
    void unloaded();
    // The user chose error record `index` (from 0) in the list.
    void recordActivated(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Picture { Compiling0, Compiling1, Error0, Error1, Success, PictureCount };

    void setText(const QString& crLfText);
    // "Compiling NAME..." with the first animation picture, no records and no error animation.
    void startOver(const QString& projectName);
    void showOnly(Picture picture);
    void invert(Picture picture);
    void timer1Tick();
    void timer2Tick();
    // Activates the record shown on text line `line` (from 0), if any.
    void activateLine(int line);

    QPlainTextEdit* m_text = nullptr;
    std::array<QLabel*, PictureCount> m_pictures{};
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    bool m_loaded = false;
    int m_records = 0; // error records listed in the text
    bool m_showsErrors = false; // the text is an error report
};
