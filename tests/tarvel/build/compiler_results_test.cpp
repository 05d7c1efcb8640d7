#include "build/CompilerResults.h"
#include "build/FieldReader.h"

#include "TestFiles.h"

#include <QBuffer>
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

// The fields of `bytes` read from a device `chunk` bytes at a time.
QStringList ReadInChunks(const QByteArray& bytes, qint64 chunk)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    QStringList fields;
    FieldReader reader(device, -1, chunk);
    while (std::optional<QString> field = reader.next())
        fields.append(*field);
    return fields;
}

// A device of `size` bytes made of `pattern` repeated, which counts what was read from it.
class RepeatingDevice : public QIODevice {
public:
    RepeatingDevice(const QByteArray& pattern, qint64 size) : m_pattern(pattern), m_size(size)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return m_size - m_delivered + QIODevice::bytesAvailable(); }
    qint64 delivered() const { return m_delivered; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const qint64 count = qMin(maxSize, m_size - m_delivered);
        for (qint64 i = 0; i < count; ++i)
            data[i] = m_pattern.at((m_delivered + i) % m_pattern.size());
        m_delivered += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_pattern;
    qint64 m_size;
    qint64 m_delivered = 0;
};

// Bytes this process has read from files so far (Linux).
qint64 BytesReadByThisProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
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
        // Read from a file in chunks, every boundary falls somewhere (inside a CR LF, a quote,
        // a run of blanks) and the fields stay the same.
        for (qint64 chunk : {1, 2, 3, 7}) {
            SCOPED_TRACE(chunk);
            EXPECT_EQ(ReadInChunks(row.input, chunk), row.fields);
        }
    }
}

TEST(FieldReader, KeepsTheStartOfALongFieldAndPassesOverTheRest)
{
    const QByteArray input = "  abcdef  ,\"quoted, long\"tail\r\nx \t y  \r\nend";
    for (qint64 chunk : {1, 4, 64}) {
        SCOPED_TRACE(chunk);
        QBuffer device;
        device.setData(input);
        device.open(QIODevice::ReadOnly);
        FieldReader reader(device, -1, chunk);
        EXPECT_EQ(reader.next(3), "abc");
        EXPECT_EQ(reader.next(6), "quoted");
        EXPECT_EQ(reader.next(2), "x ") << "a blank inside the field is kept";
        EXPECT_EQ(reader.next(0), "");
        EXPECT_TRUE(reader.atEnd());
        EXPECT_FALSE(reader.cutShort());
    }
    FieldReader lengths(input);
    EXPECT_EQ(lengths.skip(), 6);
    EXPECT_EQ(lengths.skip(), 12);
    EXPECT_EQ(lengths.skip(), 5) << "blanks at the end of an unquoted field do not count";
}

TEST(FieldReader, ABudgetEndsTheInputEarly)
{
    QBuffer device;
    device.setData("one,two,three");
    device.open(QIODevice::ReadOnly);
    FieldReader reader(device, 6, 4);
    EXPECT_EQ(reader.next(), "one");
    EXPECT_EQ(reader.next(), "tw");
    EXPECT_EQ(reader.next(), std::nullopt);
    EXPECT_TRUE(reader.cutShort());

    QBuffer exact;
    exact.setData("one,two");
    exact.open(QIODevice::ReadOnly);
    FieldReader whole(exact, 7);
    EXPECT_EQ(whole.next(), "one");
    EXPECT_EQ(whole.next(), "two");
    EXPECT_TRUE(whole.atEnd());
    EXPECT_FALSE(whole.cutShort()) << "a budget the file fits in cuts nothing";
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
        EXPECT_FALSE(list.moreNotListed);
    }
}

TEST(CompilerResults, ErrorReportShowsTwoLinesPerRecord)
{
    CompilerErrorList list;
    list.errors = {{"Demo.pas", 12, "12", "5", "2", "M"}, {"b.inc", 0, "", "", "", ""}};
    EXPECT_EQ(ErrorReportText(list), Lines({"file  : Demo.pas: line 12, column 5", "Error : 2 - M",
                                            "file  : b.inc: line , column ", "Error :  - "}));

    list.errors.resize(1);
    list.moreNotListed = true;
    EXPECT_EQ(ErrorReportText(list), Lines({"file  : Demo.pas: line 12, column 5", "Error : 2 - M",
                                            "(more errors not listed)"}));
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

TEST(CompilerResults, OnlyTheListedRecordsAreReadAndMoreAreNoted)
{
    const struct {
        const char* name;
        QByteArray input;
        int limit;
        int listed;
        bool more;
    } rows[] = {
        {"fewer records than the limit", "a,1,1,1,x\r\nb,2,2,2,y\r\n", 3, 2, false},
        {"exactly the limit", "a,1,1,1,x\r\nb,2,2,2,y\r\n", 2, 2, false},
        {"exactly the limit, blank lines after it", "a,1,1,1,x\r\nb,2,2,2,y\r\n\r\n\r\n", 2, 2, false},
        {"one more record", "a,1,1,1,x\r\nb,2,2,2,y\r\nc,3,3,3,z\r\n", 2, 2, true},
        {"one more record cut short", "a,1,1,1,x\r\nb,2,2,2,y\r\nc", 2, 2, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const CompilerErrorList list = ReadCompilerErrors(row.input, row.limit);
        EXPECT_EQ(list.errors.size(), row.listed);
        EXPECT_EQ(list.moreNotListed, row.more);
    }
}

TEST(CompilerResults, AHugeErrorListIsReadOnlyAsFarAsTheReportGoes)
{
    const qint64 hundredMegabytes = 100 * 1024 * 1024;
    // Records: the first kMaxListedErrors are listed; reading stops right after them.
    RepeatingDevice records("f.pas,1,2,3,some message\r\n", hundredMegabytes);
    FieldReader recordReader(records, kMaxErrorsBytes);
    CompilerErrorList list = ReadCompilerErrors(recordReader);
    EXPECT_EQ(list.errors.size(), kMaxListedErrors);
    EXPECT_TRUE(list.moreNotListed);
    EXPECT_LE(records.delivered(), 64 * kMaxListedErrors + FieldReader::kChunkBytes);
    EXPECT_TRUE(ErrorReportText(list).endsWith(QStringLiteral("(more errors not listed)\r\n")));

    // One endless field: read up to the budget, shown at a sane length.
    RepeatingDevice endless("x", hundredMegabytes);
    FieldReader fieldReader(endless, kMaxErrorsBytes);
    list = ReadCompilerErrors(fieldReader);
    EXPECT_EQ(endless.delivered(), kMaxErrorsBytes);
    ASSERT_EQ(list.errors.size(), 1);
    EXPECT_TRUE(list.moreNotListed);
    EXPECT_EQ(list.errors.first().file.size(), kMaxShownField + 1) << "only the shown start is kept";
    EXPECT_LT(ErrorReportText(list).size(), 2 * kMaxShownField);

    // Random bytes: whatever they give, every record listed is two lines of the report.
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(42);
    for (char& c : noise)
        c = static_cast<char>(random.bounded(256));
    list = ReadCompilerErrors(noise);
    EXPECT_EQ(ErrorReportText(list).count(QStringLiteral("\r\n")), 2 * list.errors.size() + (list.moreNotListed ? 1 : 0));
}

TEST(CompilerResults, AHundredMegabyteErrorsFileIsNotReadWhole)
{
    QTemporaryDir dir;
    // 100 MB: a few records, then a hole of zero bytes (one endless field) the file system
    // need not store.
    QFile errors(dir.filePath("errors.txt"));
    ASSERT_TRUE(errors.open(QIODevice::WriteOnly));
    errors.write("GAME.PAS,3,1,2,\"first\"\r\nA.INC,4,1,2,\"second\"\r\n");
    ASSERT_TRUE(errors.resize(100 * 1024 * 1024));
    errors.close();

    const qint64 before = BytesReadByThisProcess();
    if (before < 0)
        GTEST_SKIP() << "/proc/self/io is not available";
    const BuildOutcome outcome = CollectBuildOutcome(dir.path());
    const qint64 read = BytesReadByThisProcess() - before;
    EXPECT_LT(read, 2 * kMaxErrorsBytes) << read << " bytes read";
    EXPECT_FALSE(outcome.succeeded);
    ASSERT_EQ(outcome.errors.errors.size(), 3);
    EXPECT_EQ(outcome.errors.errors.at(0).file, "GAME.PAS");
    EXPECT_TRUE(outcome.errors.moreNotListed);
    EXPECT_TRUE(outcome.report.endsWith(QStringLiteral("(more errors not listed)\r\n")));
    EXPECT_FALSE(QFile::exists(dir.filePath("errors.txt")));
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
