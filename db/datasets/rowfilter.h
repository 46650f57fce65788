#pragma once

#include "db/core/result.h"
#include "db/core/rowset.h"
#include "db/datasets/rowstore.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

namespace db {

// A data-set filter text, parsed once and evaluated for each fetched row. The grammar:
//   condition := term { ("and" | "or") term }      ("and" binds tighter than "or")
//   term      := ["not"] ( "(" condition ")" | comparison )
//   comparison:= column "like" 'pattern'          a * or % is a wildcard anywhere, so
//                                                   'ros*' matches values that begin with ros
//              | column op value                   op: = <> < <= > >=
//              | column "is" ["not"] "null"
//   value     := 'text' (a doubled apostrophe is one apostrophe) | number | true | false
//              | #dd/mm/yyyy[ hh.mm.ss | hh:mm:ss]#
// Column names and keywords are matched regardless of letter case, as are text values.
// The empty text (or only spaces) keeps every row.
class RowFilter
{
public:
    RowFilter(); // keeps every row

    // Refuses, with an Italian message, a text that does not parse or names an unknown column.
    static Result<RowFilter> parse(QStringView text, const QList<Column> &columns);

    bool keepsEverything() const;
    bool matches(const QVariantList &row) const;
    bool matches(const RowStore &rows, qsizetype row) const;
    // Whether every row this filter keeps is also kept by `older` (a search typed one more
    // letter, a condition added): then only the rows `older` kept need to be looked at.
    // False when that cannot be told from the two texts.
    bool refines(const RowFilter &older) const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
};

} // namespace db
