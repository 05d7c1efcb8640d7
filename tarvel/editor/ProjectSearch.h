#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvel {

// What the user looks for. Text is matched as the editor holds it: one byte a character
// (Latin-1); a word is a run of letters, digits and underscores, as Pascal names are.
struct SearchRequest {
    QString text;
    bool matchCase = false;
    bool wholeWord = false;
};

// One line that holds the text; line and column from 0, `lineText` the whole line without its end.
struct SearchHit {
    QString file;
    int line = 0;
    int column = 0;
    QString lineText;

    bool operator==(const SearchHit& other) const
    {
        return file == other.file && line == other.line && column == other.column && lineText == other.lineText;
    }
};

// One file to search: its name as the project tree shows it, where it is on disk, and, when the
// editor holds it, the text as edited (searched instead of the file).
struct SearchFile {
    QString name;
    QString path;
    std::optional<QByteArray> edited;
};

struct SearchResults {
    QList<SearchHit> hits;
    QStringList unreadable; // names of files that could not be read
    bool cutShort = false;  // more lines matched than are listed
};

inline constexpr int kMaxSearchHits = 10000;

// The lines of `text` that hold the request's text, each once at its first match, in order;
// at most `limit` of them (`*cutShort` set when there were more).
[[nodiscard]] QList<SearchHit> SearchText(const QByteArray& text, const QString& fileName, const SearchRequest& request,
                                          int limit = kMaxSearchHits, bool* cutShort = nullptr);

// Searches every file in order; a name that appears twice (a file included twice) is searched once.
[[nodiscard]] SearchResults SearchFiles(const QList<SearchFile>& files, const SearchRequest& request);

} // namespace tarvel
