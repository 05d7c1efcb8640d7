#include "shell/WindowState.h"

#include "core/Paths.h"
#include "core/TextFile.h"

#include <QStringList>

namespace tarvel {

namespace {

// Enough of the title bar to take hold of.
constexpr int kReachableWidth = 48;
constexpr int kReachableHeight = 16;
// Sizes beyond any screen are not a window's.
constexpr int kLargestSide = 100000;

bool readInt(const QString& text, int* value, int lowest, int highest)
{
    bool ok = false;
    const int read = text.toInt(&ok);
    if (!ok || read < lowest || read > highest)
        return false;
    *value = read;
    return true;
}

bool readBool(const QString& text, bool* value)
{
    if (text == QLatin1String("1") || text == QLatin1String("0")) {
        *value = text == QLatin1String("1");
        return true;
    }
    return false;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

bool WindowState::operator==(const WindowState& other) const
{
    return geometry == other.geometry && maximised == other.maximised && treeWidth == other.treeWidth
        && split == other.split && splitPosition == other.splitPosition && monitorHeight == other.monitorHeight
        && reopenLastProject == other.reopenLastProject
        && lastProjectFolder == other.lastProjectFolder;
}

QString WindowStateFilePath(const QString& settingsFilePath)
{
    return common::AddBackslash(common::ExtractPath(settingsFilePath)) + QStringLiteral("window.cfg");
}

QByteArray EncodeWindowState(const WindowState& state)
{
    QStringList lines;
    if (!state.geometry.isNull()) {
        lines << QStringLiteral("geometry=%1 %2 %3 %4")
                     .arg(state.geometry.x())
                     .arg(state.geometry.y())
                     .arg(state.geometry.width())
                     .arg(state.geometry.height());
    }
    lines << QStringLiteral("maximised=") + boolText(state.maximised);
    lines << QStringLiteral("tree-width=%1").arg(state.treeWidth);
    lines << QStringLiteral("split=") + boolText(state.split);
    lines << QStringLiteral("split-position=%1").arg(state.splitPosition);
    lines << QStringLiteral("monitor-height=%1").arg(state.monitorHeight);
    lines << QStringLiteral("reopen-last-project=") + boolText(state.reopenLastProject);
    // The folder is kept in the file system's own bytes, so any folder the program can open
    // comes back whole.
    return (lines.join(QLatin1Char('\n')) + QStringLiteral("\nlast-project-folder=")).toLatin1()
        + common::EncodePathBytes(state.lastProjectFolder) + '\n';
}

WindowState DecodeWindowState(const QByteArray& bytes)
{
    WindowState state;
    for (QByteArray raw : bytes.split('\n')) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        const qsizetype equals = raw.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = QString::fromLatin1(raw.left(equals));
        const QString value = QString::fromLatin1(raw.mid(equals + 1));
        const QStringList numbers = value.split(QLatin1Char(' '));
        if (key == QLatin1String("geometry") && numbers.size() == 4) {
            int x = 0, y = 0, width = 0, height = 0;
            if (readInt(numbers[0], &x, -kLargestSide, kLargestSide) && readInt(numbers[1], &y, -kLargestSide, kLargestSide)
                && readInt(numbers[2], &width, 1, kLargestSide) && readInt(numbers[3], &height, 1, kLargestSide))
                state.geometry = QRect(x, y, width, height);
        } else if (key == QLatin1String("maximised")) {
            readBool(value, &state.maximised);
        } else if (key == QLatin1String("tree-width")) {
            readInt(value, &state.treeWidth, 0, kLargestSide);
        } else if (key == QLatin1String("split")) {
            readBool(value, &state.split);
        } else if (key == QLatin1String("split-position")) {
            readInt(value, &state.splitPosition, 0, kLargestSide);
        } else if (key == QLatin1String("monitor-height")) {
            // Files written when the monitor was a window of its own keep its place on a
            // "monitor" line, which is skipped as any unknown line is.
            readInt(value, &state.monitorHeight, 0, kLargestSide);
        } else if (key == QLatin1String("reopen-last-project")) {
            readBool(value, &state.reopenLastProject);
        } else if (key == QLatin1String("last-project-folder")) {
            state.lastProjectFolder = common::DecodePathBytes(raw.mid(equals + 1));
        }
    }
    return state;
}

WindowState LoadWindowState(const QString& path)
{
    if (!common::FileExists(path))
        return WindowState();
    const common::Result<QByteArray> bytes = common::ReadFileBytes(path);
    return bytes ? DecodeWindowState(bytes.value()) : WindowState();
}

common::Status SaveWindowState(const QString& path, const WindowState& state)
{
    return common::WriteFileAtomic(path, EncodeWindowState(state));
}

bool ReachableOnScreens(const QRect& window, const QList<QRect>& screens)
{
    const QRect grip(window.x(), window.y(), window.width(), kReachableHeight);
    for (const QRect& screen : screens) {
        const QRect shared = screen.intersected(grip);
        if (shared.width() >= qMin(kReachableWidth, window.width()) && shared.height() >= qMin(kReachableHeight, window.height()))
            return true;
    }
    return false;
}

} // namespace tarvel
