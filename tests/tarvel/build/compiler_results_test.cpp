#include "build/CompilerResults.h"
#include "build/FieldReader.h"

#include "TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

using namespace tarvel;

namespace {

QStringList ReadAll(const QByteArray& bytes)
{
    QStringList fields;
    FieldReader reader(bytes);
    while (std::optional<QString> field = reader.next())
        fields.append(*field);
    return fields;
}

QString Lines(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

} // namespace

TEST(FieldReader, SplitsAtCommasAndLineEndsAndHonoursQuotes)
{
    const struct {
        const char* name;
        QByteArray input;
        QStringList fields;
    } rows[] = {
        {"empty input", "", {}},
        {"comma and CR LF", "a,b\r\nc", {"a", "b", "c"}},
        {"every kind of line end", "a\rb\nc\r\nd\r\n", {"a", "b", "c", "d"}},
        {"blanks and tabs around a field", "  \tx \t,y", {"x", "y"}},
        {"quoted field keeps commas and skips the rest", "\"a, b\" junk,c", {"a, b", "c"}},
        {"quoted field spans a line end", "\"one\r\ntwo\",z", {"one\r\ntwo", "z"}},
        {"blanks inside quotes are kept", "\" x \"", {" x "}},
        {"unterminated quote runs to the end", "\"open", {"open"}},
        {"a trailing comma ends the input", "a,", {"a"}},
        {"empty fields", ",,x", {"", "", "x"}},
        {"blank lines are empty fields", "\r\n\r\n", {"", ""}},
        {"bytes are Latin-1, NUL included", QByteArray("a\0b,\xFF", 5), {QString::fromLatin1("a\0b", 3), QString(QChar(0xFF))}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ReadAll(row.input), row.fields);
    }
}

TEST(CompilerResults, LineNumberIsTheLeadingDigits)
{
    const struct {
        const char* text;
        int value;
    } rows[] = {
        {"12", 12}, {"12abc", 12}, {"abc", 0}, {"", 0}, {"-5", 0}, {"0", 0},
        {"2147483647", INT_MAX}, {"2147483648", 0}, {"99999999999999999999999", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(LeadingNumber(QString::fromLatin1(row.text)), row.value);
    }
}

TEST(CompilerResults, RecordsAreReadFiveFieldsAtATime)
{
    const CompilerError demo{"Demo.pas", 12, "12", "5", "2", "M"};
    const struct {
        const char* name;
        QByteArray input;
        QList<CompilerError> errors;
    } rows[] = {
        {"empty file", "", {}},
        {"one record", "Demo.pas,12,5,2,M\r\n", {demo}},
        {"one record without a last line end", "Demo.pas,12,5,2,M", {demo}},
        {"quoted fields with commas",
         "\"UTIL.INC\",3,1,36,\"Type mismatch, or worse\"\r\n",
         {{"UTIL.INC", 3, "3", "1", "36", "Type mismatch, or worse"}}},
        {"three records in order",
         "a.pas,1,1,1,x\r\nb.inc,2,2,2,y\r\nc.inc,x3,3,3,z\r\n",
         {{"a.pas", 1, "1", "1", "1", "x"}, {"b.inc", 2, "2", "2", "2", "y"}, {"c.inc", 0, "x3", "3", "3", "z"}}},
        {"a record over several lines", "Demo.pas\r\n12\r\n5\r\n2\r\nM\r\n", {demo}},
        {"last record cut short keeps its fields",
         "Demo.pas,12,5,2,M\r\nb.inc,7\r\n",
         {demo, {"b.inc", 7, "7", "", "", ""}}},
        {"blank lines after the last record are no record", "Demo.pas,12,5,2,M\r\n\r\n\r\n", {demo}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CompilerErrorList list = ReadCompilerErrors(row.input);
        EXPECT_EQ(list.errors, row.errors);
        EXPECT_EQ(list.notListed, 0);
    }
}

TEST(CompilerResults, ErrorReportShowsTwoLinesPerRecord)
{
    CompilerErrorList list;
    list.errors = {{"Demo.pas", 12, "12", "5", "2", "M"}, {"b.inc", 0, "", "", "", ""}};
    EXPECT_EQ(ErrorReportText(list), Lines({"file  : Demo.pas: line 12, column 5", "Error : 2 - M",
                                            "file  : b.inc: line , column ", "Error :  - "}));

    list.errors.resize(1);
    list.notListed = 4321;
    EXPECT_EQ(ErrorReportText(list), Lines({"file  : Demo.pas: line 12, column 5", "Error : 2 - M",
                                            "(4321 more errors not listed)"}));
}

TEST(CompilerResults, ErrorReportKeepsEachRecordOnTwoLinesWhateverTheFieldsHold)
{
    CompilerErrorList list;
    list.errors = {{"a\r\nb", 1, "1", QString::fromLatin1("\0\x07", 2), "9", QString(2000, QLatin1Char('m'))}};
    const QString text = ErrorReportText(list);
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), 2);
    EXPECT_TRUE(text.startsWith(QStringLiteral("file  : a  b: line 1, column ??\r\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" - ") + QString(kMaxShownField, QLatin1Char('m')) + "...\r\n"));
}

TEST(CompilerResults, ReportsShowNoControlCharacterOfEitherRange)
{
    // Every byte value a field can hold: line ends show as blanks, the control characters of
    // both ranges (C0 with DEL, and C1 0x80-0x9F, which a terminal or a viewer may act on) as
    // '?'; tabs and every printable Latin-1 character stay.
    for (int byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const QChar c(byte);
        QChar shown = c;
        if (byte == '\r' || byte == '\n')
            shown = QLatin1Char(' ');
        else if ((byte < 0x20 && byte != '\t') || (byte >= 0x7F && byte <= 0x9F))
            shown = QLatin1Char('?');
        CompilerErrorList list;
        list.errors = {{"f.pas", 1, "1", "2", "3", QStringLiteral("a") + c + QStringLiteral("b")}};
        EXPECT_EQ(ErrorReportText(list), Lines({"file  : f.pas: line 1, column 2", QStringLiteral("Error : 3 - a") + shown + "b"}));
    }
    EXPECT_EQ(SuccessReportText("Code: \x85""12 \x9B""2J bytes \xE9\xA0\r\n"),
              QStringLiteral("\r\nNo errors - Sucessfully compiled\r\n\r\nCode: ?12 ?2J bytes ") + QChar(0xE9) + QChar(0xA0));
}

TEST(CompilerResults, SuccessReportAddsTheCodeSummary)
{
    const QString head = QStringLiteral("\r\nNo errors - Sucessfully compiled");
    const struct {
        const char* name;
        QByteArray result;
        QString text;
    } rows[] = {
        {"no result file contents", "", head},
        {"no Code field", "Compiling\r\n  12 lines\r\n", head},
        {"lower-case code does not count", "code: 5 bytes\r\n", head},
        {"summary of three lines",
         "Compiling\r\n\r\nCode: 1234 bytes (2E9B-337D)\r\nFree: 40000 bytes\r\nData: 10 bytes\r\nEnd\r\n",
         head + "\r\n\r\nCode: 1234 bytes (2E9B-337D)\r\nFree: 40000 bytes\r\nData: 10 bytes"},
        {"a comma splits a summary line in two",
         "Code: 12 bytes, 3 lines\r\nFree: 1\r\nMore\r\n",
         head + "\r\n\r\nCode: 12 bytes\r\n3 lines\r\nFree: 1"},
        {"the end of the file ends the summary", "Code: 7 bytes\r\n", head + "\r\n\r\nCode: 7 bytes"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SuccessReportText(row.result), row.text);
    }
}

TEST(CompilerResults, HugeAndBinaryFilesAreCappedAndReadInLinearTime)
{
    // About 50 MB of records: the first ones are listed, the rest counted.
    const QByteArray record = "f.pas,1,2,3,some message\r\n";
    const qint64 records = 50 * 1024 * 1024 / record.size();
    const QByteArray big = record.repeated(records);
    QElapsedTimer clock;
    clock.start();
    CompilerErrorList list = ReadCompilerErrors(big);
    EXPECT_EQ(list.errors.size(), kMaxListedErrors);
    EXPECT_EQ(list.notListed, records - kMaxListedErrors);
    EXPECT_TRUE(ErrorReportText(list).endsWith(
        QStringLiteral("(%1 more errors not listed)\r\n").arg(records - kMaxListedErrors)));
    EXPECT_FALSE(SuccessReportText(big).contains(QLatin1String("Code")));

    // 50 MB without a single delimiter: one record cut short, shown at a sane length.
    list = ReadCompilerErrors(QByteArray(50 * 1024 * 1024, 'x'));
    ASSERT_EQ(list.errors.size(), 1);
    EXPECT_LT(ErrorReportText(list).size(), 2 * kMaxShownField);
    EXPECT_LT(clock.elapsed(), 20000);

    // Random bytes: whatever they give, every record listed is two lines of the report.
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(42);
    for (char& c : noise)
        c = static_cast<char>(random.bounded(256));
    list = ReadCompilerErrors(noise);
    EXPECT_EQ(ErrorReportText(list).count(QStringLiteral("\r\n")),
              2 * list.errors.size() + (list.notListed > 0 ? 1 : 0));
}

TEST(CompilerResults, CollectingTheOutcomeReadsAndRemovesTheRightFiles)
{
    QTemporaryDir dir;
    const QString result = dir.filePath("result.txt");

    // Success: the summary is read from result.txt, which is then removed.
    testfiles::write(result, "Code: 9 bytes\r\nFree: 1\r\nData: 2\r\n");
    BuildOutcome outcome = CollectBuildOutcome(dir.path());
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.report, "\r\nNo errors - Sucessfully compiled\r\n\r\nCode: 9 bytes\r\nFree: 1\r\nData: 2");
    EXPECT_FALSE(QFile::exists(result));

    // Success without result.txt.
    outcome = CollectBuildOutcome(dir.path());
    EXPECT_TRUE(outcome.succeeded);
    EXPECT_EQ(outcome.report, "\r\nNo errors - Sucessfully compiled");

    // Failure: errors.txt (found whatever its case) is read and removed; result.txt stays.
    testfiles::write(result, "Code: 9 bytes\r\n");
    testfiles::write(dir.filePath("ERRORS.TXT"), "Demo.pas,12,5,2,M\r\n");
    outcome = CollectBuildOutcome(dir.path());
    EXPECT_FALSE(outcome.succeeded);
    ASSERT_EQ(outcome.errors.errors.size(), 1);
    EXPECT_EQ(outcome.errors.errors.first().file, "Demo.pas");
    EXPECT_EQ(outcome.errors.errors.first().line, 12);
    EXPECT_EQ(outcome.report, Lines({"file  : Demo.pas: line 12, column 5", "Error : 2 - M"}));
    EXPECT_FALSE(QFile::exists(dir.filePath("ERRORS.TXT")));
    EXPECT_TRUE(QFile::exists(result));

    // An empty errors.txt is still a failure, and says so.
    testfiles::write(dir.filePath("errors.txt"), "");
    outcome = CollectBuildOutcome(dir.path());
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_TRUE(outcome.errors.errors.isEmpty());
    EXPECT_EQ(outcome.report, "The compiler reported errors but listed none.\r\n");
}
