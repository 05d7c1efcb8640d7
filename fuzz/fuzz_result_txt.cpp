// result.txt: the success report is the fixed line, then, when the file holds a field starting
// with "Code", that field and at most two more, each on its own line without control characters.

#include "FuzzSupport.h"

#include "build/CompilerResults.h"
#include "build/FieldReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString report = tarvel::SuccessReportText(bytes);
    const QString head = QStringLiteral("\r\nNo errors - Sucessfully compiled");
    FUZZ_CHECK(report.startsWith(head), fuzz::Printable(report));

    bool hasCode = false;
    tarvel::FieldReader reader(bytes);
    while (const std::optional<QString> field = reader.next()) {
        if (field->startsWith(QLatin1String("Code"))) {
            hasCode = true;
            break;
        }
    }

    const QString summary = report.mid(head.size());
    if (!hasCode) {
        FUZZ_CHECK(summary.isEmpty(), fuzz::Printable(summary));
        return 0;
    }
    FUZZ_CHECK(summary.startsWith(QStringLiteral("\r\n\r\nCode")), fuzz::Printable(summary));
    const QStringList fields = summary.mid(4).split(QStringLiteral("\r\n"));
    FUZZ_CHECK(fields.size() >= 1 && fields.size() <= 3, QString::number(fields.size()));
    for (const QString& field : fields) {
        FUZZ_CHECK(field.size() <= tarvel::kMaxShownField + 3, QString::number(field.size()));
        for (const QChar c : field) {
            const char16_t u = c.unicode();
            FUZZ_CHECK(!((u < 0x20 && u != '\t') || (u >= 0x7F && u <= 0x9F)), fuzz::Printable(field));
        }
    }
    return 0;
}
