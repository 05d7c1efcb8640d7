// errors.txt: the records read are a prefix of all records, and the list says whether more
// follow; every record
// shows as exactly two report lines that hold no control character; the field reader's two ways
// of moving through the file agree.

#include "FuzzSupport.h"

#include "build/CompilerResults.h"
#include "build/FieldReader.h"

#include <QBuffer>

#include <climits>

namespace {

// True when the text holds no control character (C0, DEL, C1) apart from tabs.
bool Clean(const QString& text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t') || (u >= 0x7F && u <= 0x9F))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks how many records are listed, so the cap is reached often.
    const int limit = 1 + data[0] % 8;
    const QByteArray bytes = fuzz::Bytes(data + 1, size - 1);

    const tarvel::CompilerErrorList all = tarvel::ReadCompilerErrors(bytes, INT_MAX);
    const tarvel::CompilerErrorList list = tarvel::ReadCompilerErrors(bytes, limit);
    FUZZ_CHECK(!all.moreNotListed, QString());
    FUZZ_CHECK(list.errors.size() <= limit, QString());
    FUZZ_CHECK(list.errors == all.errors.mid(0, list.errors.size()), QStringLiteral("the listed records differ"));
    FUZZ_CHECK(list.moreNotListed == (list.errors.size() < all.errors.size()),
               QStringLiteral("%1 listed, %2 in all").arg(list.errors.size()).arg(all.errors.size()));
    for (const tarvel::CompilerError& error : list.errors)
        FUZZ_CHECK(error.line >= 0 && error.line == tarvel::LeadingNumber(error.lineText), fuzz::Printable(error.lineText));

    const QString report = tarvel::ErrorReportText(list);
    const QStringList lines = report.split(QStringLiteral("\r\n"));
    FUZZ_CHECK(lines.size() == 2 * list.errors.size() + (list.moreNotListed ? 1 : 0) + 1 && lines.last().isEmpty(),
               QStringLiteral("%1 report lines for %2 records").arg(lines.size() - 1).arg(list.errors.size()));
    for (int i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(Clean(lines.at(i)), fuzz::Printable(lines.at(i)));
        if (i < 2 * list.errors.size()) {
            const QLatin1String head(i % 2 == 0 ? "file  : " : "Error : ");
            FUZZ_CHECK(lines.at(i).startsWith(head), fuzz::Printable(lines.at(i)));
            FUZZ_CHECK(lines.at(i).size() < 4 * (tarvel::kMaxShownField + 3) + 40, QString::number(lines.at(i).size()));
        }
    }

    // Read from a device in chunks of a few bytes, the fields are those read from memory.
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    tarvel::FieldReader streamed(device, -1, 1 + data[0] % 5);
    tarvel::FieldReader reading(bytes);
    tarvel::FieldReader skipping(bytes);
    for (;;) {
        const std::optional<QString> field = reading.next();
        const std::optional<qsizetype> length = skipping.skip();
        const std::optional<QString> chunked = streamed.next();
        FUZZ_CHECK(field.has_value() == length.has_value(), QString());
        FUZZ_CHECK(field == chunked, fuzz::Printable(field.value_or(QString())));
        if (!field)
            break;
        FUZZ_CHECK(field->size() == *length, fuzz::Printable(*field));
        FUZZ_CHECK(field->size() <= bytes.size(), QString());
        FUZZ_CHECK(reading.atEnd() == skipping.atEnd(), QString());
    }
    return 0;
}
