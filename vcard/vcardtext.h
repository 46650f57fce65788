#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The decoding of card values, whatever wrote them.
namespace vcard {

// Quoted-printable octets decoded (=XX); a malformed escape is kept as it is.
QByteArray decodeQuotedPrintable(QByteArrayView encoded);

bool isValidUtf8(QByteArrayView octets);

// Octets in `charset` (a CHARSET parameter, empty when there is none) as text. UTF-8 is the
// default; octets that are not UTF-8, and one-byte charsets the program does not know, are
// read as windows-1252, the charset of older phones and address books in Italy.
QString decodeOctets(QByteArrayView octets, QByteArrayView charset);

} // namespace vcard
