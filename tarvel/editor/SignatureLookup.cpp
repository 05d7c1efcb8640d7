#include "editor/SignatureLookup.h"

#include "core/Text.h"

namespace tarvel {

namespace {

QChar asciiUpper(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'a' && u <= u'z' ? QChar(char16_t(u - u'a' + u'A')) : c;
}

} // namespace

QString SignatureWord(const QString& wordAtCaret)
{
    QString word = common::AsciiUpper(wordAtCaret);
    for (const QChar cut : {QLatin1Char(','), QLatin1Char(';')}) {
        const qsizetype at = word.indexOf(cut);
        if (at >= 0)
            word = word.mid(at + 1);
    }
    return word;
}

bool SignatureMatches(QStringView entry, QStringView word)
{
    if (entry.size() < word.size())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (asciiUpper(entry.at(i)) != word.at(i))
            return false;
    }
    return true;
}

std::optional<QString> FindSignature(const QString& word, const QStringList& words, RoutineSource* files)
{
    for (const QString& entry : words) {
        if (SignatureMatches(entry, word))
            return entry;
    }
    if (!files)
        return std::nullopt;
    bool told = false;
    for (int k = 0; k < files->fileCount(); ++k) {
        if (files->routines(k).isEmpty()) {
            if (!told) {
                told = true;
                files->emptyListMet();
            }
            continue;
        }
        for (const QString& header : files->routines(k)) {
            if (SignatureMatches(header, word))
                return header;
        }
    }
    return std::nullopt;
}

} // namespace tarvel
