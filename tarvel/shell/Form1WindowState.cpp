// The main window's memory between runs: its place, size and panes, the compilation monitor's
// height, and the project reopened at start.

#include "shell/Form1.h"

#include "build/Form2.h"
#include "core/Paths.h"
#include "core/Text.h"
#include "shell/CodeEditor.h"
#include "shell/ShellLayout.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

QString Form1::windowStateFilePath() const
{
    return tarvel::WindowStateFilePath(tarvel::SettingsFilePath(m_folders.settings));
}

void Form1::restoreWindowState()
{
    m_state = tarvel::LoadWindowState(windowStateFilePath());
    if (m_state.treeWidth > 0)
        m_treeWidthTwips = m_state.treeWidth * tarvel::TwipsPerPixel;
    if (!m_state.geometry.isNull()) {
        // A place on a screen no longer connected would put the window out of reach: the size
        // is kept and the window system places it.
        if (tarvel::ReachableOnScreens(m_state.geometry, screenAreas()))
            setGeometry(m_state.geometry);
        else
            resize(m_state.geometry.size());
    }
    if (m_state.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    Form_Resize();
}

void Form1::applyRestoredPanes()
{
    if (m_state.split && !SplitOn) {
        mnuSplit_Click();
        if (m_state.splitPosition > 0)
            m_code->setSplitPosition(m_state.splitPosition);
    }
}

void Form1::saveWindowState()
{
    m_state.geometry = normalGeometry();
    m_state.maximised = isMaximized();
    m_state.treeWidth = m_treeWidthTwips / tarvel::TwipsPerPixel;
    m_state.split = SplitOn;
    if (SplitOn)
        m_state.splitPosition = m_code->splitPosition();
    if (m_monitorSized)
        m_state.monitorHeight = m_monitor->height();
    // Window state is a convenience: when it cannot be written the next start uses the defaults,
    // which is not worth a message while the program closes.
    (void)tarvel::SaveWindowState(windowStateFilePath(), m_state);
}

bool Form1::reopenLastProject()
{
    const QString& last = Settings.RecentFiles[0];
    if (!m_state.reopenLastProject || last.isEmpty() || !common::FileExists(last))
        return false;
    const QString extension = common::AsciiUpper(last.right(3));
    if (extension == QLatin1String("TPJ")) {
        OpenProjectFile(last);
    } else if (extension == QLatin1String("PAS")) {
        setProjectName(tarvel::UnnamedProject);
        LoadProject(last);
    }
    return m_project.isOpen();
}

void Form1::sizeMonitor()
{
    if (m_monitorSized)
        return;
    m_monitorSized = true;
    // However tall it is asked to be, the window's layout leaves the editor its minimum height.
    const int height = m_state.monitorHeight > 0 ? m_state.monitorHeight
                                                 : qMin(m_monitor->sizeHint().height(), this->height() / 3);
    resizeDocks({m_monitor}, {height}, Qt::Vertical);
}
