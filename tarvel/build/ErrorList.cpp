#include "build/ErrorList.h"

namespace tarvel {

void ErrorList::set(const QList<CompilerError>& errors)
{
    m_errors = errors;
    m_current = -1;
}

void ErrorList::setCurrent(int index)
{
    if (index >= 0 && index < count())
        m_current = index;
}

int ErrorList::next() const
{
    if (isEmpty())
        return -1;
    return m_current < 0 ? 0 : (m_current + 1) % count();
}

int ErrorList::previous() const
{
    if (isEmpty())
        return -1;
    return m_current <= 0 ? count() - 1 : m_current - 1;
}

QString ErrorPositionText(int index, int count, const QString& message)
{
    // One line in the status bar, however the compiler wrote the message.
    QString shown = message.left(kMaxShownField);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            c = QLatin1Char(' ');
    }
    return QStringLiteral("Error %1 of %2: %3").arg(index + 1).arg(count).arg(shown);
}

} // namespace tarvel
