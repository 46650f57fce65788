#pragma once

#include "db/core/connection.h"
#include "vcard/vcardrecord.h"

#include <QByteArray>
#include <QList>

#include <optional>

struct EsportazioneVCard
{
    QByteArray file;        // one card per contact found, in the order of the keys
    QList<qint64> notFound; // keys no contact has
};

// The cards of the contacts with these keys, in this order.
db::Result<EsportazioneVCard> esportaVCard(db::Connection &connection, const QList<qint64> &ids);
// What esportaVCard() reads a contact with, its key bound to the ?.
QString vCardExportSql();
// The same for every contact: no condition, no order.
QString contactCardsSql();

// One contact's card as the export writes it, and whether the contact is cancelled.
struct ContactCard
{
    qint64 id = 0;
    DatiVCard card;
    bool cancelled = false;
};
// Every contact's card, in the order of their keys.
db::Result<QList<ContactCard>> readContactCards(db::Connection &connection);
// One contact's; none when no contact has that key.
db::Result<std::optional<ContactCard>> readContactCard(db::Connection &connection, qint64 id);

// The name a vCard file is written under: ".vcf" added when the file name (not its folder)
// has no extension.
QString nomeFileVCard(const QString &chosen);

// The file name offered for one contact's card: its name with the characters a file name
// cannot hold left out, "Contatto.vcf" when nothing is left.
QString nomeFileVCardContatto(const QString &nominativo);

// What the export says at the end: how many cards went to which file, and how many contacts
// were no longer in the archive.
QString messaggioEsportazioneVCard(const EsportazioneVCard &done, qsizetype asked,
                                   const QString &path);

// Writes the whole file or, on failure, nothing: an existing file stays as it was.
db::Status scriviFileVCard(const QString &path, const QByteArray &bytes);
