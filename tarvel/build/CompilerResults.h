#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarvel {

class FieldReader;

// One record of the compiler's errors.txt: five fields, in this order.
struct CompilerError {
    QString file;     // source file name as the project tree shows it, without directory
    int line = 0;     // the line field's leading digits; 0 when it has none (nothing to mark)
    QString lineText; // the line field as written
    QString column;
    QString number;
    QString message;

    bool operator==(const CompilerError& other) const
    {
        return file == other.file && line == other.line && lineText == other.lineText && column == other.column
               && number == other.number && message == other.message;
    }
};

// The records of an errors.txt. Only the first records are read, so that a runaway file can
// neither flood the monitor nor the memory nor hold the window up: the file is read from the
// front and reading stops after the last record listed (or after kMaxErrorsBytes), so the rest
// is neither read nor counted.
struct CompilerErrorList {
    QList<CompilerError> errors;
    bool moreNotListed = false; // the file holds more than the listed records
};

inline constexpr int kMaxListedErrors = 1000;
// The most of errors.txt that is read: far more than kMaxListedErrors records of any sane length.
inline constexpr qint64 kMaxErrorsBytes = 8 * 1024 * 1024;
// A field is shown up to this many characters, then cut.
inline constexpr int kMaxShownField = 500;

// A field read as a number: its leading digits; 0 when there are none or they do not fit an int.
[[nodiscard]] int LeadingNumber(const QString& field);

// Reads up to `limit` records of errors.txt. A last record cut short by the end of the input
// keeps the fields it has and gets empty ones for the rest; one that holds nothing but empty
// fields (blank lines at the end) is no record. Fields are kept up to kMaxShownField + 1
// characters (enough for the report to show they were cut).
[[nodiscard]] CompilerErrorList ReadCompilerErrors(FieldReader& reader, int limit = kMaxListedErrors);
[[nodiscard]] CompilerErrorList ReadCompilerErrors(const QByteArray& errorsTxt, int limit = kMaxListedErrors);

// The monitor text for a failed build: for every record "file  : F: line L, column C" and
// "Error : N - M", each line ended by CR LF, and a last line "(more errors not listed)" when the
// file holds more. Control characters inside a field (below 0x20, 0x7F, and 0x80 to 0x9F) show
// as blanks (line ends) or '?', and a field longer than kMaxShownField characters is cut, so
// every record stays two lines.
[[nodiscard]] QString ErrorReportText(const CompilerErrorList& list);

// What a successful build appends to the monitor text: a line break, "No errors - Sucessfully
// compiled", and when result.txt holds a field starting with "Code", two line breaks, that field,
// and the (up to) two fields after it, each after a line break. result.txt is read from the
// front until the summary has been found.
[[nodiscard]] QString SuccessReportText(FieldReader& resultTxt);
[[nodiscard]] QString SuccessReportText(const QByteArray& resultTxt);

// What the compiler's files say about a finished build.
struct BuildOutcome {
    bool succeeded = false;
    // succeeded: the text to append to the monitor; failed: the monitor's new text.
    QString report;
    // failed: the listed records; the first one names the file and line to jump to.
    CompilerErrorList errors;
};

// Reads the outcome the way the build does after the compiler ended: no errors.txt in the
// project directory means success (result.txt is read for the summary, then deleted);
// otherwise errors.txt is read, then deleted, and result.txt is left alone. Neither file is
// held whole: both are read in chunks, errors.txt only as far as the report goes.
[[nodiscard]] BuildOutcome CollectBuildOutcome(const QString& projectDir);

} // namespace tarvel
