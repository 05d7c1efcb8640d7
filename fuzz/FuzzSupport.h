#pragma once

// Checks for the fuzz targets: a failed check prints what broke and aborts, so that libFuzzer
// reports the input and keeps it as a crash artifact.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* check, const QString& detail)
{
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, check);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

// A text for a failure message: control characters and non-ASCII as escapes, cut at 300.
inline QString Printable(const QString& text)
{
    QString shown;
    for (const QChar c : text.left(300)) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            shown += c;
        else
            shown += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return text.size() > 300 ? shown + QStringLiteral("...") : shown;
}

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

} // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                                                          \
    do {                                                                                                      \
        if (!(condition))                                                                                     \
            ::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));                                           \
    } while (false)
