#pragma once

#include "db/core/result.h"

#include <QDate>
#include <QString>

// The contacts a notice goes to: the filter step's choices and the query they make.
namespace notices {

// The choices of the filter step. A key of 0 or below is no choice.
struct NoticeFilter
{
    qint64 professione = -1;
    qint64 categoria = -1;
    qint64 comune = -1;
    QString provincia; // the two letters of the chosen province; empty for none
    QString note;      // the beginning of the notes; "*" stands for any text
    QString daData;    // the birth-date boxes as shown: dd/mm/yyyy, "_" where nothing is typed
    QString aData;
};

// A birth-date box: an invalid date when nothing is typed in it; the date of a complete
// dd/mm/yyyy, whatever the machine's language; otherwise a message in Italian.
db::Result<QDate> readBirthDate(QStringView shown);

// The query of the contacts that are not cancelled and match the filter, with their display
// name and key. Each date box is read by readBirthDate(); a box that is not a date gives its
// message and no query. The province and the notes go between apostrophes, doubled.
db::Result<QString> composeNoticeQuery(const NoticeFilter &filter);

// The live filter of the template list: templates whose name begins with the search text;
// every template for an empty search or "*".
QString templateFilter(const QString &search);

} // namespace notices
