#pragma once

#include "vcard/vcardrecord.h"

#include <QByteArray>

// One card in vCard 4.0 (RFC 6350): UTF-8 without a byte-order mark, CRLF line ends, lines
// folded at 75 octets without splitting a character, text values escaped. Cards written one
// after the other make a file.
QByteArray ComponiVCard(const DatiVCard &card);
