#include "contacts/vcardexport.h"

#include "common/textfunctions.h"
#include "contacts/vcardcompany.h"
#include "db/core/privatefiles.h"
#include "vcard/vcardvalues.h"
#include "vcard/vcardwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

using namespace vcard;

namespace {

// Which column of the export query fills which slot.
const struct
{
    Slot slot;
    const char *column;
} kTextSlots[] = {
    {FamilyName, "Cognome"},
    {GivenName, "Nome"},
    {Organisation, "RagioneSociale"},
    {Title, "Titolo"},
    {HomeTel1, "AbitazioneTelefono"},
    {HomeFax, "Fax"},
    {WorkTel1, "UfficioTelefono"},
    {HomeCell1, "Cellulare"},
    {WorkCell1, "UfficioCellulare"},
    {HomeEmail1, "email"},
    {WorkEmail1, "UfficioEmail"},
    {HomeUrl, "Internet"},
    {HomeStreet, "AbitazioneIndirizzo"},
    {WorkStreet, "UfficioIndirizzo"},
    {HomePostalCode, "AbitazioneCap"},
    {WorkPostalCode, "UfficioCap"},
    {HomeLocality, "AbitazioneComune"},
    {WorkLocality, "UfficioComune"},
    {HomeNumber, "AbitazioneCivico"},
    {WorkNumber, "UfficioCivico"},
    {HomeRegion, "AbitazioneProvincia"},
    {WorkRegion, "UfficioProvincia"},
    {Label, "DestMerce"},
    {Note, "Note"},
    {Role, "Professione"},
    {Categories, "Categoria"},
};

struct Columns
{
    QList<int> text; // by kTextSlots
    int id, birthday, added, name;
};

Columns columnsOf(const db::RowSet &rows)
{
    Columns c;
    for (const auto &s : kTextSlots)
        c.text.append(rows.columnIndex(QString::fromLatin1(s.column)));
    c.id = rows.columnIndex(u"Ide");
    c.birthday = rows.columnIndex(u"DataNascita");
    c.added = rows.columnIndex(u"DataInserimento");
    c.name = rows.columnIndex(u"NominativoDocumenti");
    return c;
}

DatiVCard cardOf(const QVariantList &row, const Columns &c)
{
    DatiVCard card;
    for (qsizetype i = 0; i < c.text.size(); ++i)
        card[kTextSlots[i].slot] = row[c.text[i]].toString();
    card.formattedName = row[c.name].toString();
    if (const qint64 id = row[c.id].toLongLong(); id > 0)
        card[Uid] = QStringLiteral("Calvetra") + QString::number(id);
    if (const QVariant born = row[c.birthday]; born.isValid())
        card[Birthday] = slotDate(born.toDateTime().date());
    if (const QVariant added = row[c.added]; added.isValid())
        card[Revision] = slotDate(added.toDateTime().date());
    companyFieldsToWork(card);
    return card;
}

} // namespace

db::Result<EsportazioneVCard> esportaVCard(db::Connection &connection, const QList<qint64> &ids)
{
    // Translated once: the same statement runs for every contact with its key bound.
    const db::Result<QString> sql = connection.translate(vCardExportSql());
    if (!sql)
        return sql.error();
    // One read transaction: the cards show the archive at one moment, and the archive is locked
    // and checked once rather than once per contact.
    db::Transaction reading(connection, db::Transaction::Kind::Reading);
    if (!reading.started())
        return reading.started().error();
    EsportazioneVCard exported;
    std::optional<Columns> columns;
    for (qint64 id : ids) {
        const db::Result<db::RowSet> rows = connection.runNative(*sql, {id});
        if (!rows)
            return rows.error();
        if (rows->rows.isEmpty()) {
            exported.notFound.append(id);
            continue;
        }
        if (!columns)
            columns = columnsOf(*rows);
        exported.file += ComponiVCard(cardOf(rows->rows.first(), *columns));
    }
    if (db::Status ended = reading.commit(); !ended)
        return ended.error();
    return exported;
}

QString vCardExportSql()
{
    return contactCardsSql() + QStringLiteral(" where Contatti.Id = ?");
}

QString contactCardsSql()
{
    return QStringLiteral(
        "SELECT Contatti.RagioneSociale, Contatti.Cognome, Contatti.Nome, "
        "Contatti.NominativoDocumenti, Professioni.descrizione AS Professione, "
        "Categorie.descrizione AS Categoria, Titoli.descrizione AS Titolo, "
        "Contatti.Telefono AS AbitazioneTelefono, Contatti.Cellulare, Contatti.email, "
        "Comuni.Comune AS AbitazioneComune, Comuni.Provincia AS AbitazioneProvincia, "
        "Contatti.Indirizzo AS AbitazioneIndirizzo, Contatti.Numero AS AbitazioneCivico, "
        "Contatti.Cap AS AbitazioneCap, Contatti.Internet, Contatti.Fax, Contatti.Note, "
        "Contatti.SecondoCell AS UfficioCellulare, Contatti.secEmail AS UfficioEmail, "
        "Contatti.secTelefono AS UfficioTelefono, Comuni_1.Comune AS UfficioComune, "
        "Comuni_1.Provincia AS UfficioProvincia, Contatti.UfficioIndirizzo, "
        "Contatti.UfficioNumero AS UfficioCivico, Contatti.UfficioCap, Contatti.ID as Ide, "
        "Contatti.DataNascita, Contatti.DataInserimento, Contatti.DestMerce, Contatti.Annullato "
        "FROM ((((Contatti LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) "
        "LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) "
        "LEFT JOIN Professioni ON Contatti.Professione_id = Professioni.Id) "
        "LEFT JOIN Comuni AS Comuni_1 ON Contatti.UfficioComune_id = Comuni_1.ID) "
        "LEFT JOIN Titoli ON Contatti.Titolo_id = Titoli.id");
}

db::Result<QList<ContactCard>> readContactCards(db::Connection &connection)
{
    const db::Result<db::RowSet> rows =
        connection.run(contactCardsSql() + QStringLiteral(" ORDER BY Contatti.Id"));
    if (!rows)
        return rows.error();
    QList<ContactCard> cards;
    cards.reserve(rows->rows.size());
    const Columns columns = columnsOf(*rows);
    const int cancelled = rows->columnIndex(u"Annullato");
    for (const QVariantList &row : std::as_const(rows->rows))
        cards.append({row[columns.id].toLongLong(), cardOf(row, columns), row[cancelled].toBool()});
    return cards;
}

db::Result<std::optional<ContactCard>> readContactCard(db::Connection &connection, qint64 id)
{
    const db::Result<db::RowSet> rows = connection.run(vCardExportSql(), {id});
    if (!rows)
        return rows.error();
    if (rows->rows.isEmpty())
        return std::optional<ContactCard>();
    const QVariantList &row = rows->rows.first();
    return std::optional<ContactCard>(ContactCard{id, cardOf(row, columnsOf(*rows)),
                                                  row[rows->columnIndex(u"Annullato")].toBool()});
}

QString nomeFileVCard(const QString &chosen)
{
    if (QFileInfo(chosen).fileName().contains(u'.'))
        return chosen;
    return chosen + QStringLiteral(".vcf");
}

QString nomeFileVCardContatto(const QString &nominativo)
{
    return nomeFileDa(nominativo, QStringLiteral("Contatto")) + QStringLiteral(".vcf");
}

QString messaggioEsportazioneVCard(const EsportazioneVCard &done, qsizetype asked,
                                   const QString &path)
{
    const qsizetype written = asked - done.notFound.size();
    QString text = written == 1 ? QStringLiteral("Esportato 1 contatto nel file %1.")
                                      .arg(QDir::toNativeSeparators(path))
                                : QStringLiteral("Esportati %1 contatti nel file %2.")
                                      .arg(written)
                                      .arg(QDir::toNativeSeparators(path));
    if (!done.notFound.isEmpty())
        text += QStringLiteral("\n%1 contatti non sono più in archivio (eliminati da un'altra "
                               "postazione).")
                    .arg(done.notFound.size());
    return text;
}

db::Status scriviFileVCard(const QString &path, const QByteArray &bytes)
{
    return db::writePrivateFile(path, bytes);
}
