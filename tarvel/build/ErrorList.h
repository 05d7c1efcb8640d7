#pragma once

#include "build/CompilerResults.h"

#include <QList>
#include <QString>

namespace tarvel {

// The error records of the last build and the one the user is at. A build replaces the records
// (none after a success); going on from the last record comes back to the first, going back from
// the first comes to the last.
class ErrorList {
public:
    void set(const QList<CompilerError>& errors);
    void clear() { set({}); }

    int count() const { return int(m_errors.size()); }
    bool isEmpty() const { return m_errors.isEmpty(); }
    const CompilerError& at(int index) const { return m_errors.at(index); }

    // The record the user is at; -1 before any.
    int current() const { return m_current; }
    void setCurrent(int index);

    // The record after / before the current one, wrapping around; -1 when there are none. Before
    // any record was gone to, the next is the first and the previous the last.
    int next() const;
    int previous() const;

private:
    QList<CompilerError> m_errors;
    int m_current = -1;
};

// "Error 2 of 5: <message>" for record `index` (from 0) of `count`.
[[nodiscard]] QString ErrorPositionText(int index, int count, const QString& message);

} // namespace tarvel
