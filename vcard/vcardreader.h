#pragma once

#include "db/core/result.h"
#include "vcard/vcardrecord.h"

#include <QByteArrayView>
#include <QList>

#include <functional>

// Every card of a vCard file (2.1, 3.0 or 4.0, as phones and address books write them), in
// file order; none when it holds no card. Tolerant: CRLF, LF or CR line ends; folded lines;
// names and parameters in any letter case; quoted-printable values with soft line breaks;
// CHARSET; a byte-order mark; UTF-8, read as windows-1252 where it is not; escapes undone.
// A card cut short by the end of the file is dropped.
QList<DatiVCard> LeggiVCard(QByteArrayView file);
// The same, handing each card to `each` as soon as it is read, none kept.
void LeggiVCard(QByteArrayView file, const std::function<void(DatiVCard &&)> &each);

// The same, from a file on disk.
db::Result<QList<DatiVCard>> LeggiVCardFile(const QString &path);
