#pragma once

#include <QByteArray>
#include <QString>

namespace agenda {

// A TEXT value as a calendar file holds it: backslash, semicolon and comma escaped, every line
// break written \n, other control characters dropped. Besides CR and LF, NEL and the Unicode
// line and paragraph separators count as line breaks: readers split lines at them too.
QString escapeIcalText(QStringView text);

// The control characters a value of another type cannot hold, and line breaks, dropped (tabs
// stay): such values have no escapes.
QString withoutControls(QStringView text);

// A parameter value: quoted when it holds a character that would end it; a quote, which no
// parameter value may hold, is dropped.
QString icalParameterValue(QStringView text);

// Appends one content line as UTF-8 followed by CRLF, folded so that no physical line is longer
// than 75 octets: a continuation starts with a space, and no UTF-8 sequence is split.
void appendIcalLine(QByteArray &out, QStringView line);

} // namespace agenda
