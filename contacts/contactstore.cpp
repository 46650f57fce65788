#include "contacts/contactstore.h"

#include "agenda/agendastore.h"
#include "common/colours.h"
#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "db/core/connection.h"
#include "db/core/datetimes.h"
#include "session/reporthandoff.h"
#include "session/shareddatasets.h"

namespace {

// A function, not a global: a report may be asked for while other globals are made.
// `where`, when given, is a whole WHERE clause of the program's own text.
QString contactJoins(const QString &where = {})
{
    return QStringLiteral(
               "FROM (((Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN "
               "Categorie ON "
               "Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON Comuni.Provincia = "
               "Province.PROVINCIA) LEFT JOIN Regioni ON Province.Regione_ID = "
               "Regioni.IDRegione ") +
           (where.isEmpty() ? QString() : where + u' ') +
           QStringLiteral("ORDER BY Contatti.NominativoDocumenti");
}

// A contact a label can be written for: one with a street. (A function, not a constant: the
// report definitions are asked for during other files' static initialisation too.)
QString hasAddress()
{
    return QStringLiteral("Contatti.Indirizzo IS NOT NULL AND Contatti.Indirizzo <> ''");
}

// What the contact book and the contacts by category print after their first columns.
QString bookColumnsAndJoins()
{
    return QStringLiteral(
               "Contatti.Internet, Contatti.Fax, Contatti.Note, Comuni.Comune, "
               "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
               "Categorie.descrizione AS Categoria, "
               "Contatti.secTelefono as UfficioTelefono,  Regioni.Descrizione as Regione ") +
           contactJoins();
}

QList<QVariant> rowValues(const db::DataSet &row)
{
    QList<QVariant> values;
    for (const db::Column &column : row.columns())
        values.append(row.value(column.name));
    return values;
}

// Reads the row again and sets on it, as changes still to be saved, the values `typed` held.
void putBack(db::DataSet &row, const QList<QVariant> &typed)
{
    (void)RicaricaSuRecord(row, QStringLiteral("Id"));
    const QList<db::Column> columns = row.columns();
    for (qsizetype c = 0; c < columns.size() && c < typed.size(); ++c) {
        if (row.value(columns[c].name) != typed[c])
            (void)row.setValue(columns[c].name, typed[c]);
    }
}

// Brings the contact list up to date with one contact saved, added or deleted: that row alone is
// read again. A list not read yet is left so: it is read whole when it is opened.
db::Status refreshListedContact(db::DataSet &list, qint64 id)
{
    return list.isOpen() ? list.refreshRow(u"Ide", id) : db::Status();
}

} // namespace

ContactStore::ContactStore(SharedDataSets &shared, AgendaStore &agenda)
    : TableCercaContatti(shared.connection()), TableContatti(shared.connection()), m_agenda(agenda)
{
    shared.add(TableCercaContatti, {QStringLiteral("TableCercaContatti"), contactListSql(),
                                    QStringLiteral("Ide"), SharedDataSet::Kind::OnDemand});
    shared.add(TableContatti, {QStringLiteral("TableContatti"),
                               QStringLiteral("select top 1 * from Contatti order by Cognome,Nome"),
                               QStringLiteral("ID")});
}

QString ContactStore::contactListSql()
{
    return QStringLiteral(
        "SELECT Contatti.NominativoVisualizzato,Contatti.NominativoDocumenti, "
        "Contatti.RagioneSociale, "
        "Contatti.Cognome, Contatti.Nome, Contatti.Sesso, Professioni.descrizione AS Professione, "
        "Categorie.descrizione AS Categoria, Titoli.descrizione AS Titolo, Contatti.Telefono AS "
        "AbitazioneTelefono, Contatti.Cellulare, "
        "Contatti.email,Contatti.secEmail,Contatti.Festivita, "
        "Comuni.Comune AS AbitazioneComune, Contatti.Indirizzo AS AbitazioneIndirizzo, "
        "Contatti.Numero "
        "AS AbitazioneCivico, Contatti.Cap AS AbitazioneCap, Contatti.Internet, Contatti.Skype, "
        "Contatti.Messenger, Contatti.Fax, Contatti.Note, Contatti.SecondoCell AS "
        "UfficioCellulare, "
        "Contatti.secEmail AS UfficioEmail, Contatti.secTelefono AS UfficioTelefono, "
        "Comuni_1.Comune AS "
        "UfficioComune, Contatti.UfficioIndirizzo, Contatti.UfficioNumero AS UfficioCivico, "
        "Contatti.UfficioCap, Contatti.ID as Ide,\n"
        "Contatti.ColoreCategoria , Contatti.NumeroColore  \n"
        "FROM ((((Contatti LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) LEFT JOIN "
        "Comuni "
        "ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Professioni ON Contatti.Professione_id = "
        "Professioni.Id) LEFT JOIN Comuni AS Comuni_1 ON Contatti.UfficioComune_id = Comuni_1.ID) "
        "LEFT "
        "JOIN Titoli ON Contatti.Titolo_id = Titoli.id\n"
        "order by Contatti.NominativoDocumenti;");
}

QString ContactStore::contactSql()
{
    return QStringLiteral("select * from Contatti where id = ?");
}

db::Status ContactStore::openList()
{
    return SharedDataSets::openOnDemand(TableCercaContatti);
}

db::Status ContactStore::openContact(qint64 id)
{
    TableContatti.close();
    TableContatti.setSql(contactSql(), {id});
    if (db::Status opened = TableContatti.open(); !opened)
        return opened;
    // Another workstation deleted it since the list was read: nothing to edit.
    if (TableContatti.isEmpty())
        return db::Error{QStringLiteral("Il contatto non esiste più: è stato eliminato da "
                                        "un'altra postazione."),
                         db::ErrorKind::DeletedElsewhere};
    return {};
}

db::Status ContactStore::reload()
{
    db::DataSet &list = TableCercaContatti;
    const QVariant current = list.value(u"Ide");
    (void)RicaricaSuRecord(TableContatti, QStringLiteral("Id"));
    if (db::Status requeried = list.requery(); !requeried)
        return requeried;
    if (current.isValid())
        (void)list.locate(u"Ide", current);
    return {};
}

db::Status ContactStore::appendContact(db::DataSet &personalizzazioni)
{
    db::DataSet &contatti = TableContatti;
    (void)contatti.setFilter(QString());
    if (!contatti.isOpen()) {
        if (db::Status opened = contatti.open(); !opened)
            return opened;
    }
    db::Status added = contatti.append();
    for (const auto &[column, value] :
         {std::pair{QStringLiteral("Annullato"), QVariant(false)},
          std::pair{QStringLiteral("NumeroColore"), QVariant(kBianco)},
          std::pair{QStringLiteral("DataInserimento"),
                    QVariant(db::naiveDateTime(db::clock::today()))}}) {
        if (added)
            added = contatti.setValue(column, value);
    }
    if (added)
        added = ApplicaPersonalizzazioni(QStringLiteral("Contatti"), contatti, personalizzazioni);
    if (!added)
        contatti.cancel();
    return added;
}

db::Status ContactStore::storeNewContact()
{
    db::Status stored = ConfermaRecord(TableContatti, QStringLiteral("Id"));
    if (!stored)
        TableContatti.cancel();
    return stored;
}

db::Status ContactStore::save(bool renamed)
{
    db::DataSet &contatto = TableContatti;
    const qint64 id = contatto.asInteger(u"Id");
    // The contact and the name its appointments show are stored together or not at all. The
    // transaction ends before any message, so no other workstation waits on a message box.
    const QList<QVariant> typed = rowValues(contatto);
    const db::Status stored = [&]() -> db::Status {
        db::Transaction transaction(connection());
        if (!transaction.started())
            return transaction.started();
        if (db::Status posted = contatto.post(); !posted)
            return posted;
        if (renamed) {
            if (db::Status done = AgendaStore::renameContact(connection(), id); !done)
                return done;
        }
        return transaction.commit();
    }();
    if (!stored) {
        // Posted but rolled back: the row is read again and what was typed goes back on it,
        // still to be saved.
        if (contatto.state() == db::DataSet::State::Browse)
            putBack(contatto, typed);
        return ReportSaveFailure(contatto, QStringLiteral("Id"), stored);
    }
    // The appointments that show the contact's name: those rows alone are read again.
    if (renamed) {
        if (db::Status reread = m_agenda.contactRenamed(id); !reread)
            dialogs().error(reread.message());
    }
    db::DataSet &list = TableCercaContatti;
    if (db::Status reread = refreshListedContact(list, id); !reread)
        dialogs().error(reread.message());
    else if (list.isOpen() && list.asInteger(u"Ide") != id)
        (void)list.locate(u"Ide", id);
    return {};
}

db::Result<qint64> ContactStore::saveAsNewContact()
{
    db::DataSet &contatto = TableContatti;
    const qint64 deleted = contatto.asInteger(u"Id");
    const QList<db::Column> columns = contatto.columns();
    const QList<QVariant> typed = rowValues(contatto);
    contatto.cancel();
    if (db::Status added = contatto.append(); !added)
        return added.error();
    for (qsizetype c = 0; c < columns.size() && c < typed.size(); ++c) {
        if (columns[c].name.compare(u"Id", Qt::CaseInsensitive) == 0 || !typed[c].isValid())
            continue;
        if (db::Status set = contatto.setValue(columns[c].name, typed[c]); !set) {
            contatto.cancel();
            return set.error();
        }
    }
    if (db::Status stored = contatto.post(); !stored) {
        contatto.cancel();
        return stored.error();
    }
    const qint64 id = contatto.asInteger(u"Id");
    if (db::Status reopened = openContact(id); !reopened)
        return reopened.error();
    db::DataSet &list = TableCercaContatti;
    (void)refreshListedContact(list, deleted);
    if (db::Status reread = refreshListedContact(list, id); !reread)
        dialogs().error(reread.message());
    else if (list.isOpen())
        (void)list.locate(u"Ide", id);
    return id;
}

void ContactStore::forgetDeletedContact()
{
    db::DataSet &contatto = TableContatti;
    const qint64 deleted = contatto.asInteger(u"Id");
    contatto.cancel();
    (void)refreshListedContact(TableCercaContatti, deleted);
}

void ContactStore::forgetErasedContact()
{
    forgetDeletedContact();
    (void)m_agenda.reload();
}

db::Status ContactStore::dropContact()
{
    db::DataSet &contatto = TableContatti;
    contatto.cancel();
    const qint64 id = contatto.asInteger(u"Id");
    if (db::Status removed = EliminaRecord(contatto, QStringLiteral("Id")); !removed)
        return removed;
    if (db::Status reread = refreshListedContact(TableCercaContatti, id); !reread)
        dialogs().error(reread.message());
    return {};
}

db::Status ContactStore::removeListed()
{
    db::DataSet &list = TableCercaContatti;
    const qint64 deleted = list.asInteger(u"Ide");
    db::DataSet &contatti = TableContatti;
    contatti.close();
    contatti.setSql(contactSql(), {deleted});
    if (db::Status opened = contatti.open(); !opened)
        return opened;
    list.prior();
    const qint64 back = list.asInteger(u"Ide");
    if (back != deleted)
        list.next();
    if (!contatti.isEmpty()) {
        if (db::Status removed = contatti.remove(); !removed)
            return removed;
    }
    if (db::Status reread = refreshListedContact(list, deleted); !reread)
        return reread;
    (void)list.locate(u"Ide", back);
    return {};
}

QString ContactStore::birthdaysSql(QDate today)
{
    QString sql = QStringLiteral("select * from Contatti where Month(Contatti.DataNascita)=") +
                  QString::number(today.month());
    if (today.day() > 25)
        sql += QStringLiteral(" or Month(Contatti.DataNascita)= ") +
               QString::number(today.month() % 12 + 1);
    return sql + QStringLiteral(" order by Month(Contatti.DataNascita)");
}

ReportDefinition ContactStore::bookReport()
{
    return {QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, "
                "Contatti.Sesso,Contatti.Telefono, Contatti.Cellulare, Contatti.SecondoCell "
                "as UfficioCellulare, Contatti.Indirizzo,Contatti.Numero, Contatti.email, ") +
                bookColumnsAndJoins(),
            true, true};
}

ReportDefinition ContactStore::byCategoryReport()
{
    return {QStringLiteral("Categorie.rpt"), QStringLiteral("CategorieLan.rpt"),
            QStringLiteral("SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                           "Contatti.Cellulare, Contatti.SecondoCell as UfficioCellulare, "
                           "Contatti.Indirizzo, Contatti.Numero,Contatti.email, ") +
                bookColumnsAndJoins(),
            true, true};
}

ReportDefinition ContactStore::labelsReport()
{
    return {QStringLiteral("EtichetteClienti.rpt"), QStringLiteral("EtichetteClienti.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Nominativo, Contatti.Indirizzo, "
                "Comuni.Comune, Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.Cap) "
                "AS Cap, Contatti.Numero AS NumCasa, "
                "Categorie.descrizione as Categoria, Regioni.Descrizione as Regione ") +
                contactJoins(QStringLiteral("WHERE ") + hasAddress()),
            true, false};
}

QString ContactStore::withoutAddressSql()
{
    return QStringLiteral("SELECT count(*) AS Quanti FROM Contatti WHERE NOT (") + hasAddress() +
           u')';
}

ReportDefinition ContactStore::privacyFormReport(qint64 contactId)
{
    return {QStringLiteral("PrivacyContatti.rpt"), QStringLiteral("PrivacyContattiLan.rpt"),
            QStringLiteral(
                "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, "
                "Contatti.Cellulare, Contatti.Indirizzo, Contatti.email, Contatti.Internet, "
                "Contatti.PIva, Contatti.CFisc, Contatti.Numero, Comuni.Comune, "
                "Comuni.Provincia, COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP FROM "
                "Contatti LEFT JOIN Comuni ON "
                "Contatti.Citta_ID = Comuni.ID Where Contatti.Id = ") +
                QString::number(contactId),
            false, true};
}
