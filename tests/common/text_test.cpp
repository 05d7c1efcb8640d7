#include "core/Text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

using namespace common;

namespace {

// The helpers as first written: cut or replace one occurrence, then search again. Slow (quadratic
// on long texts) but plainly right; the real helpers must give the same results.
QString SlowRemoveText(const QString& text, const QString& search)
{
    QString result = text;
    qsizetype at = result.indexOf(search, 0, Qt::CaseInsensitive);
    while (at >= 0) {
        result.remove(at, search.size());
        at = result.indexOf(search, 0, Qt::CaseInsensitive);
    }
    return result;
}

QString SlowReplaceText(const QString& text, const QString& search, const QString& replacement)
{
    QString result = text;
    qsizetype at = result.indexOf(search, 0, Qt::CaseSensitive);
    while (at >= 0) {
        result.replace(at, search.size(), replacement);
        at = result.indexOf(search, at + replacement.size(), Qt::CaseSensitive);
    }
    return result;
}

QStringList SlowSplitText(const QString& text, const QString& delimiter)
{
    QStringList parts{QString()};
    QString rest = text;
    int i = 0;
    qsizetype at = rest.indexOf(delimiter);
    while (at >= 0) {
        if (i >= parts.size())
            parts.append(QString());
        parts[i] = rest.left(at);
        rest = rest.mid(at + delimiter.size());
        ++i;
        at = rest.indexOf(delimiter);
    }
    if (!rest.isEmpty()) {
        if (i >= parts.size())
            parts.append(QString());
        parts[i] = rest;
    }
    return parts;
}

// Random texts over a small alphabet, so that occurrences, overlaps and joins are frequent.
class RandomText {
public:
    RandomText(quint32 seed, QString alphabet) : m_random(seed), m_alphabet(std::move(alphabet)) {}

    QString make(int maxLength)
    {
        std::uniform_int_distribution<int> length(0, maxLength);
        std::uniform_int_distribution<int> pick(0, int(m_alphabet.size()) - 1);
        QString text;
        for (int n = length(m_random); n > 0; --n)
            text += m_alphabet.at(pick(m_random));
        return text;
    }

private:
    std::mt19937 m_random;
    QString m_alphabet;
};

} // namespace

TEST(Text, RemoveTextIgnoresCaseAndRemovesJoinedOccurrences)
{
    struct Row { const char* text; const char* search; const char* removed; };
    const Row rows[] = {
        {"Main.PAS", ".pas", "Main"},
        {"my.pascal.pas", ".pas", "mycal"},
        {"ppasas", "pas", ""},                   // the join of "p" and "as" forms a new occurrence
        {"pppasasas", "pas", ""},                // joins nested three deep
        {"xpPaSasy", "pas", "xy"},               // a join in mixed case
        {"aaaa", "aa", ""},
        {"aaa", "aa", "a"},
        {"abab", "aba", "b"},                    // overlapping occurrences: the first one goes
        {"", ".pas", ""},
        {"{$I GRAPH.INC}", "{$I", " GRAPH.INC}"},
        {"{$I-} {c} {c} }", "}", "{$I- {c {c "},
        {"{$}I x}", "}", "{$I x"},               // removing brackets may form new text; it stays
        {"no match", "xyz", "no match"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " - " + row.search);
        EXPECT_EQ(RemoveText(QString::fromUtf8(row.text), QString::fromUtf8(row.search)), QString::fromUtf8(row.removed));
    }
    EXPECT_EQ(RemoveText(QString::fromUtf8("STRAẞE.pas"), QString::fromUtf8("ße")), "STRA.pas") << "case folding beyond ASCII";
}

TEST(Text, ReplaceTextRespectsCaseAndDoesNotRescanReplacements)
{
    struct Row { const char* text; const char* search; const char* replacement; const char* replaced; };
    const Row rows[] = {
        {"-diska %dsk -msx2", "%dsk", "/k/d.dsk", "-diska /k/d.dsk -msx2"},
        {"%dsk %dsk", "%dsk", "x", "x x"},
        {"%DSK", "%dsk", "x", "%DSK"},
        {"a", "a", "aa", "aa"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"%d%dsksk", "%dsk", "", "%dsk"},        // a join after a replacement is not searched again
        {"%dsk", "%dsk", "%dsk%dsk", "%dsk%dsk"},
        {"aaaa", "aa", "b", "bb"},
        {"no placeholder", "%dsk", "x", "no placeholder"},
        {"", "%dsk", "x", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " - " + row.search);
        EXPECT_EQ(ReplaceText(row.text, row.search, row.replacement), row.replaced);
    }
}

TEST(Text, SplitText)
{
    struct Row { const char* in; const char* delimiter; QStringList out; };
    const Row rows[] = {
        {"a b", " ", {"a", "b"}},
        {"a  b", " ", {"a", "", "b"}},
        {"a b ", " ", {"a", "b"}},
        {"a b  ", " ", {"a", "b", ""}},
        {" a", " ", {"", "a"}},
        {"", " ", {""}},
        {" ", " ", {""}},
        {"  ", " ", {"", ""}},
        {"single", " ", {"single"}},
        {"a--b---c", "--", {"a", "b", "-c"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.in) + " by " + row.delimiter);
        EXPECT_EQ(SplitText(row.in, row.delimiter), row.out);
    }
}

TEST(Text, TheHelpersGiveTheResultsOfCuttingAndSearchingAgain)
{
    // A few letters in both cases, so that deep joins are common; and a wider set whose case
    // folding is not plain ASCII (ß and ẞ, the Kelvin sign, the three sigmas, a letter outside the
    // BMP in both cases, split into loose surrogates at random).
    const QString alphabets[] = {
        QStringLiteral("paPAs"),
        QString::fromUtf8("pasPAS. {$I}-ßẞKkΣσς") + QString::fromUcs4(U"\U00010400\U00010428"),
    };
    quint32 seed = 20240611;
    for (const QString& alphabet : alphabets) {
        RandomText random(seed++, alphabet);
        for (int i = 0; i < 20000; ++i) {
            const QString text = random.make(40);
            QString search = random.make(4);
            if (search.isEmpty())
                search = alphabet.left(1);
            const QString replacement = random.make(3);
            SCOPED_TRACE(("text \"" + text + "\", search \"" + search + "\", replacement \"" + replacement + "\"").toStdString());
            ASSERT_EQ(RemoveText(text, search), SlowRemoveText(text, search));
            ASSERT_EQ(ReplaceText(text, search, replacement), SlowReplaceText(text, search, replacement));
            ASSERT_EQ(SplitText(text, search), SlowSplitText(text, search));
        }
    }
}

TEST(Text, TrimAtNull)
{
    EXPECT_EQ(TrimAtNull(QString("  abc  ") + QChar(0) + "rest"), "abc");
    EXPECT_EQ(TrimAtNull("   "), "");
    EXPECT_EQ(TrimAtNull(""), "");
    EXPECT_EQ(TrimAtNull(" path "), "path");
}

TEST(Text, ShiftLeftWrapsAt32Bits)
{
    EXPECT_EQ(ShiftLeft(3, 4), 48);
    EXPECT_EQ(ShiftLeft(1, 31), std::numeric_limits<qint32>::min());
    EXPECT_EQ(ShiftLeft(-1, 1), -2);
}

TEST(Text, OnlyAsciiLettersChangeCase)
{
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("straße.pas")), QString::fromUtf8("STRAßE.PAS"));
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("спрайт.inc")), QString::fromUtf8("спрайт.INC"));
    EXPECT_EQ(AsciiUpper(QString::fromUtf8("é-z{")), QString::fromUtf8("é-Z{"));
    EXPECT_TRUE(AsciiEqualsNoCase("Graph.Inc", "GRAPH.INC"));
    EXPECT_FALSE(AsciiEqualsNoCase(QString::fromUtf8("é.inc"), QString::fromUtf8("É.INC")));
    EXPECT_FALSE(AsciiEqualsNoCase(QString::fromUtf8("straße"), "STRASSE"));
}
