#pragma once

// The large generated project the Tarvel benchmarks share: a main file with 300 include
// directives, each include 2,000 lines with a few nested includes, about 20 MB in all.

#include "BenchSupport.h"

#include <QByteArray>
#include <QString>

inline QByteArray pascalLines(int count, const QString& name)
{
    QByteArray text;
    text.reserve(count * 36);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("  WriteLn('%1 %2');\r\n").arg(name).arg(i, 5).toLatin1();
    return text;
}

// Returns the project's main file.
inline QString generateProject(const QString& dir)
{
    QByteArray main = "program big;\r\n";
    for (int i = 0; i < 300; ++i) {
        const QString inc = QStringLiteral("unit%1.inc").arg(i, 3, 10, QLatin1Char('0'));
        main += QStringLiteral("{$I %1}\r\n").arg(inc.toUpper()).toLatin1();
        QByteArray body;
        if (i % 10 == 0) // a few includes pull in a nested one
            body += QStringLiteral("{$I nested%1.inc}\r\n").arg(i).toLatin1();
        body += pascalLines(2000, inc);
        writeFile(dir + "/" + inc, body);
        if (i % 10 == 0)
            writeFile(dir + QStringLiteral("/nested%1.inc").arg(i), pascalLines(200, "nested"));
    }
    main += "begin\r\nend.\r\n";
    writeFile(dir + "/big.pas", main);
    return dir + "/big.pas";
}

