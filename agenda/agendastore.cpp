#include "agenda/agendastore.h"

#include "common/dates.h"
#include "common/recordoperations.h"
#include "db/core/datetimes.h"
#include "session/shareddatasets.h"

AgendaStore::AgendaStore(SharedDataSets &shared) : TableCalendario(shared.connection())
{
    shared.add(TableCalendario, {QStringLiteral("TableCalendario"), agendaSql(),
                                 QStringLiteral("Id"), SharedDataSet::Kind::OnDemand});
}

QString AgendaStore::agendaSql()
{
    return QStringLiteral(
        "SELECT * from Calendario where Storico=false order by Data desc,Personale");
}

db::Status AgendaStore::open()
{
    return SharedDataSets::openOnDemand(TableCalendario);
}

db::Status AgendaStore::search(const AgendaSearch &search)
{
    db::Status filtered = TableCalendario.setFilter(composeAgendaFilter(search));
    if (filtered)
        m_search = search;
    return filtered;
}

AgendaListing AgendaStore::listing() const
{
    return {m_search, TableCalendario.sort()};
}

ReportDefinition AgendaStore::appointmentsReport(const AgendaListing &listing)
{
    const AgendaQuery query = composeAgendaQuery(listing);
    return {QStringLiteral("Appuntamenti.rpt"),
            QStringLiteral("AppuntamentiLan.rpt"),
            query.sql,
            true,
            true,
            query.values};
}

db::Status AgendaStore::append(QDate day, db::DataSet &personalizzazioni)
{
    db::DataSet &agenda = TableCalendario;
    if (!agenda.isOpen()) {
        if (db::Status opened = agenda.open(); !opened)
            return opened;
    }
    db::Status added = search(AgendaSearch{});
    if (added)
        added = agenda.append();
    if (added)
        added = agenda.setValue(u"Data", db::naiveDateTime(day));
    if (added)
        added = agenda.setValue(u"Storico", false);
    if (added)
        added = ApplicaPersonalizzazioni(QStringLiteral("Calendario"), agenda, personalizzazioni);
    if (!added)
        agenda.cancel();
    return added;
}

db::Status AgendaStore::save()
{
    return ConfermaRecord(TableCalendario, QStringLiteral("Id"));
}

db::Status AgendaStore::remove()
{
    return EliminaRecord(TableCalendario, QStringLiteral("Id"));
}

int AgendaStore::remove(const QList<qint64> &ids)
{
    int removed = 0;
    for (qint64 id : ids) {
        db::Result<bool> found = TableCalendario.locate(u"Id", id);
        if (!found || !*found)
            continue;
        if (!EliminaRecord(TableCalendario, QStringLiteral("Id")))
            break;
        ++removed;
    }
    return removed;
}

db::Status AgendaStore::reload()
{
    return RicaricaSuRecord(TableCalendario, QStringLiteral("Id"));
}

QString AgendaStore::remindersSql(QDate today)
{
    return QStringLiteral(
               "SELECT Calendario.Data, Calendario.Cliente, Calendario.TipologiaCalendario, "
               "Calendario.Note, Calendario.Id, Calendario.DataAvviso FROM Calendario  "
               "Where Conclusa=false and "
               "DataAvviso <=#") +
           *DataSql(ScriviDataItaliana(today)) + QStringLiteral("# ORDER BY Calendario.DataAvviso");
}

db::Status AgendaStore::renameContact(db::Connection &connection, qint64 contactId)
{
    db::Result<db::RowSet> renamed = connection.run(renameContactSql(), {contactId});
    if (!renamed)
        return renamed.error();
    return {};
}

QString AgendaStore::renameContactSql()
{
    return QStringLiteral("UPDATE Calendario INNER JOIN Contatti ON calendario.Cliente_ID = "
                          "Contatti.Id SET calendario.Cliente = [Contatti].[NominativoDocumenti] "
                          "where Contatti.Id=?");
}

db::Status AgendaStore::contactRenamed(qint64 contactId)
{
    if (!TableCalendario.isOpen())
        return {};
    return TableCalendario.refreshRows(u"ID", u"Cliente_ID", contactId);
}
