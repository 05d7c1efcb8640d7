#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>

namespace tarvel {

// The word a signature lookup searches for, from the word at the caret: upper-cased (ASCII
// letters only, as MSX names are), then cut after its first "," and then after its first ";".
// "a,b,foo" gives "B,FOO"; "x;foo" gives "FOO".
[[nodiscard]] QString SignatureWord(const QString& wordAtCaret);

// Whether `entry` begins with `word` (an upper-cased SignatureWord) without regard to ASCII
// letter case. An entry shorter than the word never matches; the empty word matches any entry.
[[nodiscard]] bool SignatureMatches(QStringView entry, QStringView word);

// The routine headers of the open project's files, file by file in tree order, for a lookup.
class RoutineSource {
public:
    virtual ~RoutineSource() = default;
    virtual int fileCount() const = 0;
    // The headers of file `index` (0 to fileCount() - 1) as they are now.
    virtual const QStringList& routines(int index) const = 0;
    // Called when the scan meets a file whose list holds no header, before it goes on with the
    // next file; the lists may change meanwhile.
    virtual void emptyListMet() = 0;
};

// The hint for `word`: the first entry of `words` that begins with it, exactly as stored; only
// when none does, the first header that begins with it in the files' lists, file by file in
// order; nothing when neither has one. A file whose list is empty is skipped in this pass, after
// telling `files` once per lookup: rebuilding a list from the same text gives the same list, so
// once is enough for the whole pass.
[[nodiscard]] std::optional<QString> FindSignature(const QString& word, const QStringList& words,
                                                   RoutineSource* files);

} // namespace tarvel
