#include "contacts/contactcardwriter.h"

#include "common/colours.h"
#include "common/dates.h"
#include "contacts/contactnames.h"
#include "db/core/datetimes.h"
#include "vcard/vcardvalues.h"

#include <QStringList>

#include <array>

namespace vcard {

namespace {

// The columns of Contatti an import reads; all but the last are written back.
enum Column
{
    RagioneSociale,
    Cognome,
    Nome,
    NominativoDocumenti,
    NominativoVisualizzato,
    Telefono,
    SecTelefono,
    Cellulare,
    SecondoCell,
    Fax,
    Email,
    SecEmail,
    Indirizzo,
    Numero,
    Cap,
    CittaId,
    UfficioIndirizzo,
    UfficioNumero,
    UfficioCap,
    UfficioComuneId,
    Internet,
    NoteColumn,
    DestMerce,
    CategoriaId,
    ColoreCategoria,
    ProfessioneId,
    TitoloId,
    DataNascita,
    DataInserimento,
    Annullato,
    NumeroColore,
    CFisc,
    PIva,
    Pec,
    kColumns,
};

const char *const kColumnNames[kColumns] = {
    "RagioneSociale",
    "Cognome",
    "Nome",
    "NominativoDocumenti",
    "NominativoVisualizzato",
    "Telefono",
    "secTelefono",
    "Cellulare",
    "SecondoCell",
    "Fax",
    "email",
    "secEmail",
    "Indirizzo",
    "Numero",
    "Cap",
    "Citta_ID",
    "UfficioIndirizzo",
    "UfficioNumero",
    "UfficioCap",
    "UfficioComune_id",
    "Internet",
    "Note",
    "DestMerce",
    "Categoria_ID",
    "ColoreCategoria",
    "Professione_id",
    "Titolo_id",
    "DataNascita",
    "DataInserimento",
    "Annullato",
    "NumeroColore",
    "CFisc",
    "PIva",
    "Pec",
};

// The slots that go into a column as they are, each only when the card has it.
const struct
{
    Slot slot;
    Column column;
} kTextColumns[] = {
    {Organisation, RagioneSociale},
    {FamilyName, Cognome},
    {GivenName, Nome},
    {HomeTel1, Telefono},
    {WorkTel1, SecTelefono},
    {HomeCell1, Cellulare},
    {WorkCell1, SecondoCell},
    {HomeFax, Fax},
    {HomeEmail1, Email},
    {WorkEmail1, SecEmail},
    {HomeStreet, Indirizzo},
    {HomeNumber, Numero},
    {HomePostalCode, Cap},
    {WorkStreet, UfficioIndirizzo},
    {WorkNumber, UfficioNumero},
    {WorkPostalCode, UfficioCap},
    {HomeUrl, Internet},
    {Note, NoteColumn},
    {Label, DestMerce},
};

using Row = std::array<QVariant, kColumns>;

} // namespace

ContactCardWriter::ContactCardWriter(db::Connection &connection, ImportLists lists, QDate today,
                                     Mode mode)
    : m_connection(connection), m_lists(std::move(lists)), m_today(today), m_mode(mode)
{
    QStringList names, marks, assignments;
    for (int c = 0; c < kColumns; ++c) {
        const QString name = m_connection.dialect().quoteIdentifier(QLatin1String(kColumnNames[c]));
        names << name;
        marks << QStringLiteral("?");
        assignments << name + QStringLiteral(" = ?");
    }
    m_insert = QStringLiteral("INSERT INTO Contatti (%1) VALUES (%2)")
                   .arg(names.join(u','), marks.join(u','));
    m_update = QStringLiteral("UPDATE Contatti SET %1 WHERE ID = ?").arg(assignments.join(u','));
    m_select = QStringLiteral("SELECT %1 FROM Contatti WHERE ID = ?").arg(names.join(u','));
}

namespace {

using Mode = ContactCardWriter::Mode;

// The card's fields into the row read from the archive (or a new one).
db::Status apply(db::Connection &connection, ImportLists &lists, Mode mode, const DatiVCard &card,
                 const CardExtras &extras, Row &row)
{
    const bool exact = mode == Mode::Exact;
    // What a card cannot carry: only where given (a card never gives them).
    for (const auto &[value, column] :
         {std::pair{&extras.codiceFiscale, CFisc}, std::pair{&extras.partitaIva, PIva},
          std::pair{&extras.pec, Pec}}) {
        if (!value->trimmed().isEmpty())
            row[column] = value->trimmed();
    }
    for (const auto &t : kTextColumns) {
        if (!card[t.slot].isEmpty())
            row[t.column] = card[t.slot];
        else if (exact)
            row[t.column] = QVariant();
    }
    // A municipality the archive does not know leaves the column as it was.
    const auto town = [&](Slot name, Slot region, Slot postalCode, Column column) {
        if (card[name].isEmpty()) {
            if (exact)
                row[column] = QVariant();
            return;
        }
        if (const qint64 id = lists.municipality(card[name], card[region], card[postalCode]))
            row[column] = id;
    };
    town(HomeLocality, HomeRegion, HomePostalCode, CittaId);
    town(WorkLocality, WorkRegion, WorkPostalCode, UfficioComuneId);
    const struct
    {
        Slot slot;
        ImportLists::List list;
        Column column;
    } named[] = {
        {Categories, ImportLists::List::Categorie, CategoriaId},
        {Role, ImportLists::List::Professioni, ProfessioneId},
        {Title, ImportLists::List::Titoli, TitoloId},
    };
    for (const auto &n : named) {
        if (card[n.slot].trimmed().isEmpty()) {
            if (exact)
                row[n.column] = QVariant();
            continue;
        }
        const db::Result<ImportLists::Row> found = lists.row(connection, n.list, card[n.slot]);
        if (!found)
            return found.error();
        row[n.column] = found->id;
        // The contact's row takes its category's colour, as in the contact editor.
        if (n.column == CategoriaId)
            row[ColoreCategoria] = found->colour;
    }
    // A prefix such as "Dott." is the title when the archive has that title; another prefix
    // ("Sig.") adds nothing to the list.
    if (card[Title].trimmed().isEmpty()) {
        if (const qint64 title = lists.existing(ImportLists::List::Titoli, card[NamePrefix]))
            row[TitoloId] = title;
    }
    // A birth date the program cannot read leaves the one stored.
    if (const CardDate born = readCardDate(card[Birthday]); born.kind == CardDate::Kind::Date)
        row[DataNascita] = db::naiveDateTime(born.date);
    else if (exact && card[Birthday].trimmed().isEmpty())
        row[DataNascita] = QVariant();
    const QVariant born = row[DataNascita];
    const ContactNames names = composeContactNames(
        row[RagioneSociale].toString(), row[Cognome].toString(), row[Nome].toString(),
        row[CFisc].toString(),
        born.isValid() && !born.isNull() ? ScriviDataItaliana(born.toDateTime().date())
                                         : QString());
    row[NominativoDocumenti] = names.documenti;
    row[NominativoVisualizzato] = names.visualizzato;
    return {};
}

} // namespace

db::Result<qint64> ContactCardWriter::insert(const DatiVCard &card, bool keyNeeded,
                                             const CardExtras &extras)
{
    Row row;
    row[Annullato] = false;
    row[NumeroColore] = kBianco;
    const CardDate revision = readCardDate(card[Revision]);
    row[DataInserimento] =
        db::naiveDateTime(revision.kind == CardDate::Kind::Date ? revision.date : m_today);
    if (db::Status applied = apply(m_connection, m_lists, m_mode, card, extras, row); !applied)
        return applied.error();
    const db::Result<db::RowSet> inserted =
        m_connection.runNative(m_insert, QVariantList(row.begin(), row.begin() + kColumns));
    if (!inserted)
        return inserted.error();
    if (!keyNeeded)
        return qint64(0);
    return db::lastInsertedKey(m_connection);
}

db::Result<bool> ContactCardWriter::update(const DatiVCard &card, qint64 id,
                                           const CardExtras &extras)
{
    const db::Result<db::RowSet> read = m_connection.runNative(m_select, {id});
    if (!read)
        return read.error();
    if (read->rows.isEmpty())
        return db::Error{QStringLiteral("il contatto è stato eliminato da un'altra postazione.")};
    Row row;
    for (int c = 0; c < kColumns; ++c)
        row[c] = read->rows.first().value(c);
    const QString before = row[NominativoDocumenti].toString();
    if (db::Status applied = apply(m_connection, m_lists, m_mode, card, extras, row); !applied)
        return applied.error();
    QVariantList values(row.begin(), row.begin() + kColumns);
    values << id;
    if (const db::Result<db::RowSet> updated = m_connection.runNative(m_update, values); !updated)
        return updated.error();
    // The appointments show the contact's name as a copy: it follows a new name, as it does
    // when the name is changed in the contact editor.
    if (row[NominativoDocumenti].toString() == before)
        return false;
    const db::Result<db::RowSet> renamed = m_connection.runNative(
        QStringLiteral("UPDATE Calendario SET Cliente = ? WHERE Cliente_ID = ?"),
        {row[NominativoDocumenti], id});
    if (!renamed)
        return renamed.error();
    return renamed->rowsAffected > 0;
}

db::Status setContactCancelled(db::Connection &connection, qint64 id, bool cancelled)
{
    const db::Result<db::RowSet> set = connection.runNative(
        QStringLiteral("UPDATE Contatti SET Annullato = ? WHERE ID = ?"), {cancelled, id});
    if (!set)
        return set.error();
    return {};
}

} // namespace vcard
