#include "build/CompilerResults.h"

#include "build/BuildScript.h"
#include "build/FieldReader.h"

#include "core/Paths.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>

namespace tarvel {

namespace {

constexpr int kFieldsPerRecord = 5;
const QString kCrLf = QStringLiteral("\r\n");

CompilerError MakeError(const QStringList& fields)
{
    CompilerError error;
    const auto field = [&](int i) { return i < fields.size() ? fields.at(i) : QString(); };
    error.file = field(0);
    error.lineText = field(1);
    error.line = LeadingNumber(error.lineText);
    error.column = field(2);
    error.number = field(3);
    error.message = field(4);
    return error;
}

// A field as the monitor shows it: on one line, and not longer than the monitor can sensibly hold.
QString Shown(const QString& field)
{
    QString text = field.size() > kMaxShownField ? field.left(kMaxShownField) + QStringLiteral("...") : field;
    for (QChar& c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
        else if ((c.unicode() < 0x20 && c != QLatin1Char('\t')) || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
            c = QLatin1Char('?'); // C0, DEL and C1 (0x80-0x9F, which terminals and viewers act on)
    }
    return text;
}

// The existing file of that name in the project directory, found without regard to case.
QString FindOutputFile(const QString& projectDir, const char* name)
{
    const QString path = common::FindFileNoCase(projectDir, QLatin1String(name));
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

} // namespace

int LeadingNumber(const QString& field)
{
    qint64 value = 0;
    bool any = false;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        any = true;
        value = value * 10 + (c.unicode() - '0');
        if (value > INT_MAX)
            return 0;
    }
    return any ? static_cast<int>(value) : 0;
}

CompilerErrorList ReadCompilerErrors(FieldReader& reader, int limit)
{
    CompilerErrorList list;
    while (list.errors.size() < limit && !reader.atEnd()) {
        QStringList fields;
        bool anyText = false;
        while (fields.size() < kFieldsPerRecord) {
            std::optional<QString> field = reader.next(kMaxShownField + 1);
            if (!field)
                break;
            anyText = anyText || !field->isEmpty();
            fields.append(*field);
        }
        if (fields.size() < kFieldsPerRecord && !anyText)
            break;
        list.errors.append(MakeError(fields));
    }

    // One more record, passed over, tells whether the list is complete.
    if (!reader.atEnd()) {
        int count = 0;
        bool anyText = false;
        while (count < kFieldsPerRecord) {
            const std::optional<qsizetype> length = reader.skip();
            if (!length)
                break;
            anyText = anyText || *length > 0;
            ++count;
        }
        list.moreNotListed = count == kFieldsPerRecord || anyText;
    }
    list.moreNotListed = list.moreNotListed || reader.cutShort();
    return list;
}

CompilerErrorList ReadCompilerErrors(const QByteArray& errorsTxt, int limit)
{
    FieldReader reader(errorsTxt);
    return ReadCompilerErrors(reader, limit);
}

QString ErrorReportText(const CompilerErrorList& list)
{
    QString text;
    for (const CompilerError& error : list.errors) {
        text += QStringLiteral("file  : ") + Shown(error.file) + QStringLiteral(": line ") + Shown(error.lineText)
                + QStringLiteral(", column ") + Shown(error.column) + kCrLf;
        text += QStringLiteral("Error : ") + Shown(error.number) + QStringLiteral(" - ") + Shown(error.message) + kCrLf;
    }
    if (list.moreNotListed)
        text += QStringLiteral("(more errors not listed)") + kCrLf;
    return text;
}

QString SuccessReportText(FieldReader& reader)
{
    QString text = kCrLf + QStringLiteral("No errors - Sucessfully compiled");
    while (std::optional<QString> field = reader.next(kMaxShownField + 1)) {
        if (!field->startsWith(QLatin1String("Code")))
            continue;
        text += kCrLf + kCrLf + Shown(*field);
        for (int i = 0; i < 2; ++i) {
            field = reader.next(kMaxShownField + 1);
            if (!field)
                break;
            text += kCrLf + Shown(*field);
        }
        break;
    }
    return text;
}

QString SuccessReportText(const QByteArray& resultTxt)
{
    FieldReader reader(resultTxt);
    return SuccessReportText(reader);
}

BuildOutcome CollectBuildOutcome(const QString& projectDir)
{
    BuildOutcome outcome;
    const QString errorsPath = FindOutputFile(projectDir, kErrorsFileName);
    if (errorsPath.isEmpty()) {
        outcome.succeeded = true;
        const QString resultPath = FindOutputFile(projectDir, kResultFileName);
        const common::Result<std::unique_ptr<QFile>> result =
            resultPath.isEmpty() ? common::Result<std::unique_ptr<QFile>>::failure(QString()) : common::OpenRegularFile(resultPath);
        if (result) {
            FieldReader reader(*result.value());
            outcome.report = SuccessReportText(reader);
        } else {
            outcome.report = SuccessReportText(QByteArray());
        }
        if (!resultPath.isEmpty())
            QFile::remove(resultPath);
        return outcome;
    }

    const common::Result<std::unique_ptr<QFile>> errors = common::OpenRegularFile(errorsPath);
    if (!errors) {
        outcome.report = QStringLiteral("The compiler's error list could not be read:\r\n%1\r\n%2\r\n")
                             .arg(QDir::toNativeSeparators(errorsPath), errors.error());
        QFile::remove(errorsPath);
        return outcome;
    }
    {
        FieldReader reader(*errors.value(), kMaxErrorsBytes);
        outcome.errors = ReadCompilerErrors(reader);
    }
    errors.value()->close();
    QFile::remove(errorsPath);
    outcome.report = ErrorReportText(outcome.errors);
    if (outcome.errors.errors.isEmpty())
        outcome.report = QStringLiteral("The compiler reported errors but listed none.") + kCrLf;
    return outcome;
}

} // namespace tarvel
