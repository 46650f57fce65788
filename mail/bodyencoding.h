#pragma once

#include <QByteArray>
#include <QString>

namespace mail {

// The text in UTF-8, quoted-printable (RFC 2045), every line end (CR LF, CR or LF) a CR LF,
// lines of at most 76 characters (soft breaks "=" where a line is longer), blanks at a line's
// end encoded so that no transport can strip them. Ends with CR LF unless empty.
QByteArray quotedPrintable(const QString &text);

// Base64 in lines of 76 characters, each ending with CR LF.
QByteArray base64Lines(const QByteArray &data);

} // namespace mail
