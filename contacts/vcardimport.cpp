#include "contacts/vcardimport.h"

#include "common/colours.h"
#include "common/dates.h"
#include "contacts/contactnames.h"
#include "contacts/vcardcompany.h"
#include "contacts/vcardlists.h"
#include "db/core/datetimes.h"
#include "vcard/vcardmatch.h"
#include "vcard/vcardvalues.h"

#include <QStringList>

#include <array>

using namespace vcard;

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
    CFisc, // read to compose the display name, never written
    kColumns,
};
constexpr int kWritten = CFisc;

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

QString cardName(const DatiVCard &card)
{
    if (!card[Organisation].isEmpty())
        return card[Organisation];
    return card[FamilyName] + u' ' + card[GivenName];
}

db::Error failure(int index, const DatiVCard &card, const QString &message)
{
    return db::Error{QStringLiteral("Scheda %1 (%2): %3\nNessun contatto è stato importato.")
                         .arg(index + 1)
                         .arg(cardName(card).trimmed(), message)};
}

// One card to write: into the contact with key `target`, or, for a negative target, into the
// contact the import creates for it.
struct Step
{
    int card;
    qint64 target;
    bool keyNeeded = false; // a later card of the file updates the contact this one creates
};

class Writer
{
public:
    Writer(db::Connection &connection, ImportLists lists, QDate today)
        : m_connection(connection), m_lists(std::move(lists)), m_today(today)
    {
        QStringList names, marks, assignments;
        for (int c = 0; c < kWritten; ++c) {
            const QString name =
                m_connection.dialect().quoteIdentifier(QLatin1String(kColumnNames[c]));
            names << name;
            marks << QStringLiteral("?");
            assignments << name + QStringLiteral(" = ?");
        }
        m_insert = QStringLiteral("INSERT INTO Contatti (%1) VALUES (%2)")
                       .arg(names.join(u','), marks.join(u','));
        m_update =
            QStringLiteral("UPDATE Contatti SET %1 WHERE ID = ?").arg(assignments.join(u','));
        names << QStringLiteral("CFisc");
        m_select = QStringLiteral("SELECT %1 FROM Contatti WHERE ID = ?").arg(names.join(u','));
    }

    db::Status write(const DatiVCard &card, const Step &step, RiepilogoImportazioneVCard &summary);
    bool listsAdded() const { return m_lists.added(); }

private:
    db::Status apply(const DatiVCard &card, Row &row);
    db::Status insert(const DatiVCard &card, const Step &step);
    db::Status update(const DatiVCard &card, qint64 id, RiepilogoImportazioneVCard &summary);

    db::Connection &m_connection;
    ImportLists m_lists;
    QDate m_today;
    QString m_insert, m_update, m_select;
    QHash<qint64, qint64> m_created; // planned (negative) key -> key in the archive
};

db::Status Writer::apply(const DatiVCard &card, Row &row)
{
    for (const auto &t : kTextColumns) {
        if (!card[t.slot].isEmpty())
            row[t.column] = card[t.slot];
    }
    // A municipality the archive does not know leaves the column as it was.
    const auto town = [&](Slot name, Slot region, Slot postalCode, Column column) {
        if (card[name].isEmpty())
            return;
        if (const qint64 id = m_lists.municipality(card[name], card[region], card[postalCode]))
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
    // A prefix such as "Dott." is the title when the archive has that title; another prefix
    // ("Sig.") adds nothing to the list.
    if (card[Title].trimmed().isEmpty()) {
        if (const qint64 title = m_lists.existing(ImportLists::List::Titoli, card[NamePrefix]))
            row[TitoloId] = title;
    }
    for (const auto &n : named) {
        if (card[n.slot].trimmed().isEmpty())
            continue;
        const db::Result<ImportLists::Row> found = m_lists.row(m_connection, n.list, card[n.slot]);
        if (!found)
            return found.error();
        row[n.column] = found->id;
        // The contact's row takes its category's colour, as in the contact editor.
        if (n.column == CategoriaId)
            row[ColoreCategoria] = found->colour;
    }
    // A birth date the program cannot read leaves the one stored.
    if (const CardDate born = readCardDate(card[Birthday]); born.kind == CardDate::Kind::Date)
        row[DataNascita] = db::naiveDateTime(born.date);
    const QVariant born = row[DataNascita];
    const ContactNames names = composeContactNames(
        row[RagioneSociale].toString(), row[Cognome].toString(), row[Nome].toString(),
        row[CFisc].toString(),
        born.isValid() ? ScriviDataItaliana(born.toDateTime().date()) : QString());
    row[NominativoDocumenti] = names.documenti;
    row[NominativoVisualizzato] = names.visualizzato;
    return {};
}

db::Status Writer::insert(const DatiVCard &card, const Step &step)
{
    Row row;
    row[Annullato] = false;
    row[NumeroColore] = kBianco;
    const CardDate revision = readCardDate(card[Revision]);
    row[DataInserimento] =
        db::naiveDateTime(revision.kind == CardDate::Kind::Date ? revision.date : m_today);
    if (db::Status applied = apply(card, row); !applied)
        return applied;
    const db::Result<db::RowSet> inserted =
        m_connection.runNative(m_insert, QVariantList(row.begin(), row.begin() + kWritten));
    if (!inserted)
        return inserted.error();
    if (!step.keyNeeded)
        return {};
    const db::Result<db::RowSet> identity = m_connection.runNative(
        QStringLiteral("SELECT ") + m_connection.dialect().lastIdentityExpression());
    if (!identity)
        return identity.error();
    if (identity->rows.isEmpty())
        return db::Error{QStringLiteral("Manca la chiave del contatto aggiunto.")};
    m_created.insert(step.target, identity->rows.first().value(0).toLongLong());
    return {};
}

db::Status Writer::update(const DatiVCard &card, qint64 id, RiepilogoImportazioneVCard &summary)
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
    if (db::Status applied = apply(card, row); !applied)
        return applied;
    QVariantList values(row.begin(), row.begin() + kWritten);
    values << id;
    if (const db::Result<db::RowSet> updated = m_connection.runNative(m_update, values); !updated)
        return updated.error();
    // The appointments show the contact's name as a copy: it follows a new name, as it does
    // when the name is changed in the contact editor.
    if (row[NominativoDocumenti].toString() != before) {
        const db::Result<db::RowSet> renamed = m_connection.runNative(
            QStringLiteral("UPDATE Calendario SET Cliente = ? WHERE Cliente_ID = ?"),
            {row[NominativoDocumenti], id});
        if (!renamed)
            return renamed.error();
        if (renamed->rowsAffected > 0)
            summary.nomiCambiati = true;
    }
    return {};
}

db::Status Writer::write(const DatiVCard &card, const Step &step,
                         RiepilogoImportazioneVCard &summary)
{
    if (step.target > 0)
        return update(card, step.target, summary);
    if (const auto created = m_created.constFind(step.target); created != m_created.cend())
        return update(card, *created, summary);
    return insert(card, step);
}

} // namespace

AzioneImportazioneVCard azioneImportazioneVCard(const QVariant &option)
{
    if (!option.isValid() || option.isNull())
        return AzioneImportazioneVCard::Chiedi;
    switch (option.toLongLong()) {
    case 0:
        return AzioneImportazioneVCard::Chiedi;
    case 1:
        return AzioneImportazioneVCard::Salta;
    default:
        return AzioneImportazioneVCard::Aggiorna;
    }
}

QString RiepilogoImportazioneVCard::testo() const
{
    QString text = QStringLiteral("%1 nuovi, %2 aggiornati, %3 saltati")
                       .arg(nuovi)
                       .arg(aggiornati)
                       .arg(saltati);
    for (const QString &note : avvisi)
        text += u'\n' + note;
    return text;
}

QString domandaContattoPresente(const DatiVCard &card)
{
    return QStringLiteral("Il contatto :") + cardName(card) +
           QStringLiteral(" e' già presente in archivio: Come si vuole procedere ? Salto il "
                          "contatto ?");
}

db::Result<RiepilogoImportazioneVCard> importaVCard(db::Connection &connection,
                                                    const QList<DatiVCard> &input,
                                                    AzioneImportazioneVCard azione,
                                                    const SaltaContattoPresente &ask, QDate today)
{
    db::Result<ContactIndex> index = ContactIndex::load(connection);
    if (!index)
        return index.error();
    db::Result<ImportLists> lists = ImportLists::load(connection);
    if (!lists)
        return lists.error();

    // Every question is asked before anything is written, so that no other workstation waits
    // on the archive while a question is on screen.
    RiepilogoImportazioneVCard summary;
    QList<DatiVCard> cards = input;
    for (DatiVCard &card : cards)
        companyFieldsFromWork(card);
    QList<Step> steps;
    QHash<qint64, qsizetype> creating; // the step that creates each new contact
    qint64 nextNew = -1;
    bool cancelled = false;
    // Whether a card matching a contact is skipped: the option's answer, or the user's.
    const auto skipKnown = [&](const DatiVCard &card) {
        if (azione != AzioneImportazioneVCard::Chiedi)
            return azione == AzioneImportazioneVCard::Salta;
        if (!ask)
            return false;
        switch (ask(domandaContattoPresente(card))) {
        case RispostaContattoPresente::Salta:
            return true;
        case RispostaContattoPresente::Aggiorna:
            return false;
        case RispostaContattoPresente::SaltaTutti:
            azione = AzioneImportazioneVCard::Salta;
            return true;
        case RispostaContattoPresente::AggiornaTutti:
            azione = AzioneImportazioneVCard::Aggiorna;
            return false;
        case RispostaContattoPresente::Annulla:
            cancelled = true;
            return false;
        }
        return false;
    };
    for (int i = 0; i < cards.size(); ++i) {
        const DatiVCard &card = cards[i];
        if (card[FamilyName].isEmpty() && card[Organisation].isEmpty()) {
            // A phone's export holds cards with an address or a number only: named, so that
            // the user can find them.
            QString reach = card.formattedName.trimmed();
            for (Slot s : {HomeEmail1, WorkEmail1, HomeCell1, WorkCell1, HomeTel1, WorkTel1}) {
                if (reach.isEmpty())
                    reach = card[s].trimmed();
            }
            summary.avvisi << QStringLiteral("Scheda senza nome saltata: %1")
                                  .arg(reach.isEmpty() ? QStringLiteral("(senza recapiti)")
                                                       : reach);
            ++summary.saltati;
            continue;
        }
        if (readCardDate(card[Birthday]).kind == CardDate::Kind::Partial)
            summary.avvisi << QStringLiteral("%1: data di nascita senza anno, non importata")
                                  .arg(cardName(card));
        qint64 target = index->match(card);
        if (target == 0) {
            target = nextNew--;
            creating.insert(target, steps.size());
            ++summary.nuovi;
        } else if (skipKnown(card)) {
            ++summary.saltati;
            continue;
        } else if (cancelled) {
            RiepilogoImportazioneVCard nothing;
            nothing.annullato = true;
            return nothing;
        } else {
            ++summary.aggiornati;
            if (target < 0)
                steps[creating.value(target)].keyNeeded = true;
        }
        index->put(target, card[Organisation], card[FamilyName], card[GivenName]);
        steps.append({i, target});
    }

    Writer writer(connection, std::move(*lists), today);
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started().error();
    for (const Step &step : std::as_const(steps)) {
        if (db::Status written = writer.write(cards[step.card], step, summary); !written)
            return failure(step.card, cards[step.card], written.message());
    }
    if (db::Status committed = transaction.commit(); !committed) {
        return db::Error{QStringLiteral("Importazione non riuscita: %1\nNessun contatto è stato "
                                        "importato.")
                             .arg(committed.message())};
    }
    summary.righeAggiunte = writer.listsAdded();
    return summary;
}
