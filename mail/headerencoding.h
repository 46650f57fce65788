#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace mail {

// The text of a one-line field: every control character (a CR or a LF above all) becomes a
// blank, so that nothing typed can start a header line of its own.
QString singleLine(const QString &text);

// The unstructured text of a header field (the subject) after "Name: " (`used` characters
// already on the line). Printable ASCII words separated by single blanks go as they are,
// folded between words; anything else as RFC 2047 encoded words in UTF-8, each of at most
// 75 characters holding whole characters, one per folded line.
QByteArray encodeUnstructured(const QString &text, int used);

// A display name before an address: an atom sequence, a quoted string or encoded words.
QByteArray encodePhrase(const QString &text);

// A parameter of a MIME header field (`name`="value"): quoted when short and ASCII, otherwise
// RFC 2231 (UTF-8, percent-encoded, split into numbered sections), each section on a folded
// line. Starts with ";" and a fold.
QByteArray encodeParameter(const QByteArray &name, const QString &value);

// The date of a header in RFC 5322 form with its offset from UTC, English day and month names:
// "Mon, 7 Dec 2026 15:20:01 +0100".
QByteArray headerDate(const QDateTime &when);

} // namespace mail
