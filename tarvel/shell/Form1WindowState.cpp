// The main window's memory between runs: its place, size and panes, where the compilation
// monitor goes, and the project reopened at start.

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
    rememberMonitorPlace();
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

void Form1::placeMonitor()
{
    if (m_state.monitorPlaced) {
        const QRect remembered(m_state.monitorPosition, m_monitor->frameGeometry().size());
        if (tarvel::ReachableOnScreens(remembered, screenAreas())) {
            m_monitor->move(m_state.monitorPosition);
            m_monitorPlacedAt = m_monitor->pos();
            return;
        }
    }
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect main = frameGeometry();
    const QSize size = m_monitor->frameGeometry().size();
    // Below the main window, else above it, else beside it; when the main window leaves no room
    // (it fills the screen), over the bottom right corner of the screen, the least used part of
    // the editor.
    const QPoint places[] = {
        {main.left(), main.bottom() + 1},
        {main.left(), main.top() - size.height()},
        {main.right() + 1, main.bottom() - size.height() + 1},
        {main.left() - size.width(), main.bottom() - size.height() + 1},
    };
    QPoint chosen(area.right() - size.width() + 1, area.bottom() - size.height() + 1);
    for (const QPoint& place : places) {
        if (area.contains(QRect(place, size))) {
            chosen = place;
            break;
        }
    }
    m_monitor->move(chosen);
    m_monitorPlacedAt = m_monitor->pos();
}

void Form1::rememberMonitorPlace()
{
    // Only a place the user chose is kept; the monitor goes where it was put otherwise.
    if (!m_monitor || m_monitor->pos() == m_monitorPlacedAt || !m_monitor->testAttribute(Qt::WA_WState_Created))
        return;
    m_state.monitorPosition = m_monitor->pos();
    m_state.monitorPlaced = true;
    m_monitorPlacedAt = m_monitor->pos();
}
