#pragma once

#include <QDockWidget>
#include <QString>
#include <QStringList>

#include <array>

class QLabel;
class QPlainTextEdit;
class QTimer;

// The compilation monitor: a panel docked under the editor of the main window, captioned
// "Compilation", that shows a build while it runs and then its outcome. Docked, it can never cover
// the lines the user is fixing, whatever the window system lets a program do with its windows.
// An animated picture on the left tells compiling, error or success; the text box on the right
// holds the messages and grows with the panel. The build drives it through the public methods;
// the panel itself only animates and closes (Esc or its close box), which hides it.
//
// Typical use by the main window, which keeps one Form2 for the whole run:
//     addDockWidget(Qt::BottomDockWidgetArea, monitor);
//     monitor->bringUp(projectName);                     // before the size check / the compiler
//     monitor->showSizeError(projectDir);                // or, after the compiler:
//     monitor->showSuccess(outcome.report);              // BuildOutcome::report
//     monitor->showErrors(outcome.report);
//     monitor->close();                                  // Compile and Run, before dsktool
class Form2 : public QDockWidget {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // The size of the panel's client area the controls are laid out for.
    static constexpr int kDesignWidth = 485;
    static constexpr int kDesignHeight = 219;

    // Loads the panel: text "Compiling <name>...", the first compiling picture shown, the
    // compiling animation running, shown (the main window stays usable).
    void load(const QString& projectName);

    // Shows the panel for a build: loads it when it is not loaded; a panel still open from an
    // earlier build is shown as it stands, its text and pictures unchanged, unless it shows that
    // build's errors: those are no longer current, and the panel starts over as load() does.
    void bringUp(const QString& projectName);

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
    // The panel was closed (unloaded); the next bringUp() loads it afresh.
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
    // Text1 fills the client area right of the pictures, as it does at the design size.
    void layOutText();

    QWidget* m_client = nullptr;
    QPlainTextEdit* m_text = nullptr;
    std::array<QLabel*, PictureCount> m_pictures{};
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer2 = nullptr;
    bool m_loaded = false;
    int m_records = 0; // error records listed in the text
    bool m_showsErrors = false; // the text is an error report
};
