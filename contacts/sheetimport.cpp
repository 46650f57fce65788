#include "contacts/sheetimport.h"

#include "common/dates.h"
#include "contacts/contactcardwriter.h"
#include "contacts/vcardcompany.h"
#include "contacts/vcardlists.h"
#include "db/core/datetimes.h"
#include "sheets/csvfile.h"
#include "sheets/xlsxfile.h"
#include "taxcode/codicefiscale.h"
#include "vcard/vcardvalues.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cmath>

using namespace vcard;

namespace {

using F = SheetField;

// The slot of a card each field fills; the tax codes and the PEC travel beside the card.
Slot slotOf(F field)
{
    switch (field) {
    case F::Cognome:
        return FamilyName;
    case F::Nome:
        return GivenName;
    case F::RagioneSociale:
        return Organisation;
    case F::Titolo:
        return Title;
    case F::Indirizzo:
        return HomeStreet;
    case F::Civico:
        return HomeNumber;
    case F::Cap:
        return HomePostalCode;
    case F::Comune:
        return HomeLocality;
    case F::Provincia:
        return HomeRegion;
    case F::UfficioIndirizzo:
        return WorkStreet;
    case F::UfficioCivico:
        return WorkNumber;
    case F::UfficioCap:
        return WorkPostalCode;
    case F::UfficioComune:
        return WorkLocality;
    case F::UfficioProvincia:
        return WorkRegion;
    case F::Telefono:
        return HomeTel1;
    case F::Cellulare:
        return HomeCell1;
    case F::TelefonoUfficio:
        return WorkTel1;
    case F::CellulareUfficio:
        return WorkCell1;
    case F::Fax:
        return HomeFax;
    case F::Email:
        return HomeEmail1;
    case F::EmailUfficio:
        return WorkEmail1;
    case F::Internet:
        return HomeUrl;
    case F::DataNascita:
        return Birthday;
    case F::Categoria:
        return Categories;
    case F::Professione:
        return Role;
    case F::Note:
        return Note;
    default:
        return Slot(-1);
    }
}

// A number cell as the text it stands for: a whole number without decimals.
QString numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString cellText(const QVariant &cell)
{
    switch (cell.typeId()) {
    case QMetaType::Double:
        return numberText(cell.toDouble());
    case QMetaType::QDate:
        return cell.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::Bool:
        return cell.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    default:
        return cell.toString().trimmed();
    }
}

// A phone's export puts several values in one cell (" ::: "): the first one counts; a group
// such as "* myContacts" is the export's own, not a category.
QString firstValue(const QString &text, F field)
{
    const QStringList values = text.split(QStringLiteral(" ::: "), Qt::SkipEmptyParts);
    for (const QString &value : values) {
        const QString v = value.trimmed();
        if (field == F::Categoria && v.startsWith(u'*'))
            continue;
        if (!v.isEmpty())
            return v;
    }
    return {};
}

// A CAP a spreadsheet stored as a number lost its leading zeros: 118 is 00118.
QString postalCode(const QString &text)
{
    bool digits = !text.isEmpty() && text.size() < 5;
    for (const QChar c : text)
        digits = digits && c.isDigit();
    return digits ? text.rightJustified(5, u'0') : text;
}

// A birth date as an office writes it; invalid when it is not one.
QDate birthDate(const QVariant &cell, const QString &text, bool *partial)
{
    *partial = false;
    if (cell.typeId() == QMetaType::QDate)
        return cell.toDate();
    if (cell.typeId() == QMetaType::QDateTime)
        return cell.toDateTime().date();
    QString t = text;
    if (t.startsWith(QStringLiteral("--"))) {
        *partial = true;
        return {};
    }
    if (t.size() > 10 && (t[10] == u'T' || t[10] == u' '))
        t.truncate(10);
    for (const char *format : {"d/M/yyyy", "d-M-yyyy", "d.M.yyyy", "yyyy-M-d", "yyyy/M/d"}) {
        const QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid())
            return d;
    }
    for (const char *format : {"d/M/yy", "d-M-yy", "d.M.yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(format));
        if (!d.isValid())
            continue;
        // A two-digit year: in the hundred years up to today.
        const int year = d.year() % 100;
        const int now = db::clock::today().year();
        int full = now - now % 100 + year;
        if (full > now)
            full -= 100;
        return QDate(full, d.month(), d.day());
    }
    return {};
}

QString folded(const QString &text)
{
    return text.trimmed().toCaseFolded();
}

QString digitsOf(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.isLetterOrNumber())
            out += c.toUpper();
    }
    return out;
}

// The archive's contacts by what identifies them, read once; the contacts the import creates
// join it with negative keys, so that a later row of the file finds them.
class Duplicates
{
public:
    db::Status load(db::Connection &connection)
    {
        const db::Result<db::RowSet> rows = connection.runNative(QStringLiteral(
            "SELECT ID, Cognome, Nome, RagioneSociale, CFisc, PIva, email, secEmail, Citta_ID "
            "FROM Contatti ORDER BY ID"));
        if (!rows)
            return rows.error();
        for (const QVariantList &r : rows->rows)
            put(r[0].toLongLong(), r[1].toString(), r[2].toString(), r[3].toString(),
                r[4].toString(), r[5].toString(), {r[6].toString(), r[7].toString()},
                r[8].toLongLong());
        return {};
    }

    void put(qint64 id, const QString &cognome, const QString &nome, const QString &ragione,
             const QString &cf, const QString &piva, const QStringList &emails, qint64 town)
    {
        const auto keep = [id](QHash<QString, qint64> &index, const QString &key) {
            if (!key.isEmpty() && !index.contains(key))
                index.insert(key, id);
        };
        keep(m_cf, digitsOf(cf));
        keep(m_piva, digitsOf(piva));
        for (const QString &email : emails)
            keep(m_email, folded(email));
        keep(m_names, namesKey(cognome, nome, ragione, town));
    }

    // The contact a row stands for, and why; 0 when none.
    std::pair<qint64, QString> match(const QString &cognome, const QString &nome,
                                     const QString &ragione, const QString &cf, const QString &piva,
                                     const QStringList &emails, qint64 town) const
    {
        if (const qint64 id = m_cf.value(digitsOf(cf)); id && !digitsOf(cf).isEmpty())
            return {id, QStringLiteral("stesso codice fiscale")};
        if (const qint64 id = m_piva.value(digitsOf(piva)); id && !digitsOf(piva).isEmpty())
            return {id, QStringLiteral("stessa partita IVA")};
        for (const QString &email : emails) {
            if (const qint64 id = m_email.value(folded(email)); id && !folded(email).isEmpty())
                return {id, QStringLiteral("stessa e-mail")};
        }
        if (const qint64 id = m_names.value(namesKey(cognome, nome, ragione, town)))
            return {id, town ? QStringLiteral("stesso nome e stesso comune")
                             : QStringLiteral("stesso nome, senza comune")};
        return {0, QString()};
    }

private:
    static QString namesKey(const QString &cognome, const QString &nome, const QString &ragione,
                            qint64 town)
    {
        if (folded(cognome).isEmpty() && folded(ragione).isEmpty() && folded(nome).isEmpty())
            return {};
        return folded(cognome) + u'\x1f' + folded(nome) + u'\x1f' + folded(ragione) + u'\x1f' +
               QString::number(town);
    }

    QHash<QString, qint64> m_cf, m_piva, m_email, m_names;
};

// One row of the file as a contact.
struct RowContact
{
    int row = 0; // its number in the file, the header being 1
    DatiVCard card;
    CardExtras extras;
    qint64 target = 0; // the contact it updates; negative: one the import creates
    bool keyNeeded = false;
};

QString nameOf(const DatiVCard &card)
{
    if (!card[Organisation].isEmpty() && card[FamilyName].isEmpty())
        return card[Organisation];
    return (card[FamilyName] + u' ' + card[GivenName]).trimmed();
}

} // namespace

SheetKind sheetKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return SheetKind::Csv;
    if (suffix == u"xlsx")
        return SheetKind::Xlsx;
    return SheetKind::Unknown;
}

db::Result<sheets::SheetRows> readSheetFile(const QString &path)
{
    const SheetKind kind = sheetKindOf(path);
    if (kind == SheetKind::Unknown)
        return db::Error{QStringLiteral("Il file %1 non è un foglio di calcolo che il programma "
                                        "legge: servono file .csv o .xlsx.")
                             .arg(QFileInfo(path).fileName())};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return db::Error{
            QStringLiteral("Impossibile leggere il file %1: %2").arg(path, file.errorString())};
    const QByteArray bytes = file.readAll();
    db::Result<sheets::SheetRows> rows =
        kind == SheetKind::Csv ? sheets::readCsv(bytes) : sheets::readXlsx(bytes);
    if (!rows)
        return db::Error{QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), rows.message())};
    if (rows->isEmpty())
        return db::Error{
            QStringLiteral("Il file %1 non contiene righe.").arg(QFileInfo(path).fileName())};
    return rows;
}

QStringList sheetHeaders(const sheets::SheetRows &rows)
{
    QStringList headers;
    if (rows.isEmpty())
        return headers;
    for (const QVariant &cell : rows.first())
        headers << cellText(cell);
    return headers;
}

QString SheetImportSummary::testo(qsizetype notes) const
{
    QString text = QStringLiteral("%1 nuovi, %2 aggiornati, %3 saltati")
                       .arg(nuovi)
                       .arg(aggiornati)
                       .arg(saltati);
    if (!colonneIgnorate.isEmpty())
        text += QStringLiteral("\nColonne non importate: %1").arg(colonneIgnorate.join(u", "));
    const qsizetype shown = notes < 0 ? avvisi.size() : std::min(notes, avvisi.size());
    for (qsizetype i = 0; i < shown; ++i)
        text += u'\n' + avvisi[i];
    if (shown < avvisi.size())
        text += QStringLiteral("\n… e altre %1 note.").arg(avvisi.size() - shown);
    return text;
}

db::Result<SheetImportSummary> importSheet(db::Connection &connection,
                                           const sheets::SheetRows &rows,
                                           const QList<ColumnMatch> &given,
                                           AzioneImportazioneVCard azione, QDate today,
                                           const SheetImportProgress &progress)
{
    if (rows.isEmpty())
        return db::Error{QStringLiteral("Il file non contiene righe.")};
    const QStringList headers = sheetHeaders(rows);
    const QList<ColumnMatch> columns = given.isEmpty() ? matchColumns(headers) : given;
    SheetImportSummary summary;
    QSet<int> typeColumns;
    bool anyField = false;
    for (const ColumnMatch &m : columns) {
        if (m.typeColumn >= 0)
            typeColumns.insert(m.typeColumn);
        anyField = anyField || m.field != F::Nessuno;
    }
    if (!anyField)
        return db::Error{QStringLiteral("Nessuna colonna del file corrisponde a un campo dei "
                                        "contatti (intestazioni: %1). Nessun contatto è stato "
                                        "importato.")
                             .arg(headers.join(u", ").left(300))};
    for (qsizetype c = 0; c < headers.size(); ++c) {
        const bool used = c < columns.size() && columns[c].field != F::Nessuno;
        if (!used && !typeColumns.contains(int(c)) && !headers[c].isEmpty())
            summary.colonneIgnorate << headers[c];
    }

    db::Result<ImportLists> lists = ImportLists::load(connection);
    if (!lists)
        return lists.error();
    Duplicates duplicates;
    if (db::Status loaded = duplicates.load(connection); !loaded)
        return loaded.error();

    // One scale for both stages: reading the rows, then writing them.
    const int total = int(rows.size() - 1);
    const auto goOn = [&](int done) { return !progress || progress(done, 2 * total); };
    // First every row is read and matched: nothing is written until all are.
    QList<RowContact> plan;
    QHash<qint64, qsizetype> creating; // the step that creates each new contact
    qint64 nextNew = -1;
    for (int r = 1; r < rows.size(); ++r) {
        if (r % 256 == 0 && !goOn(r)) {
            SheetImportSummary stopped;
            stopped.annullato = true;
            return stopped;
        }
        const QVariantList &cells = rows[r];
        RowContact contact;
        contact.row = r + 1;
        QHash<int, QString> values; // by field
        QVariant bornCell;
        for (qsizetype c = 0; c < cells.size() && c < columns.size(); ++c) {
            const ColumnMatch &m = columns[c];
            if (m.field == F::Nessuno)
                continue;
            const QString type = m.typeColumn >= 0 && m.typeColumn < cells.size()
                                     ? cellText(cells[m.typeColumn])
                                     : QString();
            const F field = fieldForType(m, type);
            QString text = firstValue(cellText(cells[c]), field);
            if (text.isEmpty() || !values.value(int(field)).isEmpty())
                continue;
            if (field == F::Cap || field == F::UfficioCap)
                text = postalCode(text);
            else if (field == F::CodiceFiscale)
                text = text.toUpper().remove(u' ');
            if (field == F::DataNascita)
                bornCell = cells[c];
            values.insert(int(field), text);
        }
        DatiVCard &card = contact.card;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const F field = F(it.key());
            if (const Slot slot = slotOf(field); slot >= 0 && field != F::DataNascita)
                card[slot] = it.value();
        }
        contact.extras = {values.value(int(F::CodiceFiscale)), values.value(int(F::PartitaIva)),
                          values.value(int(F::Pec))};
        if (card[FamilyName].isEmpty() && card[GivenName].isEmpty() &&
            card[Organisation].isEmpty()) {
            if (!values.isEmpty()) {
                summary.avvisi << QStringLiteral("Riga %1: senza cognome, nome né ragione "
                                                 "sociale, saltata.")
                                      .arg(contact.row);
                ++summary.saltati;
            }
            continue;
        }
        const QString name = nameOf(card);
        // Notes about what of the row is not imported: only for a row that is.
        QStringList notes;
        if (const QString born = values.value(int(F::DataNascita)); !born.isEmpty()) {
            bool partial = false;
            const QDate date = birthDate(bornCell, born, &partial);
            if (date.isValid())
                card[Birthday] = slotDate(date);
            else
                notes << (partial ? QStringLiteral("Riga %1 (%2): data di nascita senza anno, "
                                                   "non importata.")
                                        .arg(contact.row)
                                        .arg(name)
                                  : QStringLiteral("Riga %1 (%2): data di nascita «%3» non "
                                                   "valida, non importata.")
                                        .arg(contact.row)
                                        .arg(name, born));
        }
        // A code that does not check is imported as written, as the contact card would keep it,
        // and said.
        if (const QString cf = contact.extras.codiceFiscale; !cf.isEmpty()) {
            if (const TaxCodeCheck check = checkCodiceFiscale(cf, today); !check.valid)
                notes << QStringLiteral("Riga %1 (%2): codice fiscale «%3» non valido (%4), "
                                        "importato com'è.")
                             .arg(contact.row)
                             .arg(name, cf, check.reason);
        }
        if (const QString piva = contact.extras.partitaIva; !piva.isEmpty()) {
            if (const TaxCodeCheck check = checkPartitaIva(piva); !check.valid)
                notes << QStringLiteral("Riga %1 (%2): partita IVA «%3» non valida (%4), "
                                        "importata com'è.")
                             .arg(contact.row)
                             .arg(name, piva, check.reason);
        }
        companyFieldsFromWork(card);
        qint64 town = 0;
        if (!card[HomeLocality].isEmpty()) {
            town = lists->municipality(card[HomeLocality], card[HomeRegion], card[HomePostalCode]);
            if (!town)
                notes << QStringLiteral("Riga %1 (%2): il comune «%3» non è tra i "
                                        "comuni dell'archivio, non importato.")
                             .arg(contact.row)
                             .arg(name, card[HomeLocality]);
        }
        const QStringList emails{card[HomeEmail1], card[WorkEmail1]};
        const auto [found, why] =
            duplicates.match(card[FamilyName], card[GivenName], card[Organisation],
                             contact.extras.codiceFiscale, contact.extras.partitaIva, emails, town);
        if (found == 0) {
            contact.target = nextNew--;
            creating.insert(contact.target, plan.size());
            ++summary.nuovi;
        } else if (azione != AzioneImportazioneVCard::Aggiorna) {
            summary.avvisi << QStringLiteral("Riga %1 (%2): già in archivio (%3), saltata.")
                                  .arg(contact.row)
                                  .arg(name, why);
            ++summary.saltati;
            continue;
        } else {
            contact.target = found;
            ++summary.aggiornati;
            if (found < 0)
                plan[creating.value(found)].keyNeeded = true;
        }
        summary.avvisi << notes;
        duplicates.put(contact.target, card[FamilyName], card[GivenName], card[Organisation],
                       contact.extras.codiceFiscale, contact.extras.partitaIva, emails, town);
        plan.append(std::move(contact));
    }

    ContactCardWriter writer(connection, std::move(*lists), today, ContactCardWriter::Mode::Fill);
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started().error();
    QHash<qint64, qint64> created;
    for (qsizetype i = 0; i < plan.size(); ++i) {
        if (i % 256 == 255 && !goOn(total + int(i * total / std::max<qsizetype>(1, plan.size())))) {
            SheetImportSummary stopped;
            stopped.annullato = true;
            return stopped;
        }
        const RowContact &contact = plan[i];
        const auto failed = [&](const QString &why) {
            return db::Error{QStringLiteral("Riga %1 (%2): %3\nNessun contatto è stato importato.")
                                 .arg(contact.row)
                                 .arg(nameOf(contact.card), why)};
        };
        qint64 target = contact.target < 0 ? created.value(contact.target) : contact.target;
        if (target > 0) {
            if (db::Result<bool> updated = writer.update(contact.card, target, contact.extras);
                !updated)
                return failed(updated.message());
            continue;
        }
        const db::Result<qint64> added =
            writer.insert(contact.card, contact.keyNeeded, contact.extras);
        if (!added)
            return failed(added.message());
        if (contact.keyNeeded)
            created.insert(contact.target, *added);
    }
    if (db::Status committed = transaction.commit(); !committed)
        return db::Error{QStringLiteral("Importazione non riuscita: %1\nNessun contatto è stato "
                                        "importato.")
                             .arg(committed.message())};
    summary.righeAggiunte = writer.listsAdded();
    if (progress)
        progress(2 * total, 2 * total);
    return summary;
}
