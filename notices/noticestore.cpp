#include "notices/noticestore.h"

#include "common/recordoperations.h"
#include "notices/recipients.h"
#include "session/reporthandoff.h"
#include "session/shareddatasets.h"

NoticeStore::NoticeStore(SharedDataSets &shared)
    : TableAvvisi(shared.connection()), TableTempAvvisiContatti(shared.connection()),
      TableTempAvvisi(shared.connection()), m_shared(shared)
{
    using Kind = SharedDataSet::Kind;
    shared.add(TableAvvisi,
               {QStringLiteral("TableAvvisi"),
                QStringLiteral("select * from Avvisi Order by Descrizione"), QStringLiteral("Id")});
    shared.add(TableTempAvvisiContatti,
               {QStringLiteral("TableTempAvvisiContatti"),
                QStringLiteral("select top 1 * from TempAvvisiContatti"), QStringLiteral("Id"),
                Kind::PerWorkstation,
                QStringLiteral("select * from TempAvvisiContatti where NomeComputer = ?")});
    shared.add(TableTempAvvisi,
               {QStringLiteral("TableTempAvvisi"),
                QStringLiteral("select top 1 * from TempAvvisi "), QStringLiteral("Id"),
                Kind::PerWorkstation,
                QStringLiteral("select top 1 * from TempAvvisi where NomeComputer = ?")});
    shared.addReopenStep([this](const QString &) {
        if (!TableTempAvvisi.isEmpty())
            return db::Status();
        db::Status made = appendWorkstationRow();
        return made ? TableTempAvvisi.post() : made;
    });
}

db::Status NoticeStore::appendWorkstationRow()
{
    db::Status made = TableTempAvvisi.append();
    if (made)
        made = TableTempAvvisi.setValue(u"NomeComputer", m_shared.computerName());
    if (!made)
        TableTempAvvisi.cancel();
    return made;
}

db::Status NoticeStore::saveText()
{
    return ConfermaRecord(TableTempAvvisi, QStringLiteral("Id"));
}

db::Status NoticeStore::appendTemplate()
{
    db::DataSet &ds = TableAvvisi;
    db::Status added = ds.setFilter(QString());
    if (added)
        added = ds.append();
    if (added)
        added = ds.setValue(u"Descrizione", QStringLiteral(" "));
    if (!added)
        ds.cancel();
    return added;
}

db::Status NoticeStore::storeTemplate()
{
    db::Status saved = SalvaRecord(TableAvvisi, QStringLiteral("Id"));
    if (!saved)
        TableAvvisi.cancel();
    return saved;
}

db::Status NoticeStore::saveTemplate()
{
    return ConfermaRecord(TableAvvisi, QStringLiteral("Id"));
}

db::Status NoticeStore::removeTemplate()
{
    return EliminaRecord(TableAvvisi, QStringLiteral("Id"));
}

db::Result<db::RowSet> NoticeStore::findContacts(const QString &sql)
{
    return m_shared.connection().run(sql);
}

db::Result<QString> NoticeStore::storedText()
{
    return notices::storedNoticeText(m_shared.connection(), m_shared.computerName());
}

db::Status NoticeStore::writeRecipients(const QList<qint64> &contacts)
{
    return notices::writeRecipients(m_shared.connection(), m_shared.computerName(), contacts);
}

db::Status NoticeStore::clearScratchRows(db::Connection &connection, const QString &computerName)
{
    for (const QString &sql : scratchRowsSql()) {
        if (db::Result<db::RowSet> done = connection.run(sql, {computerName}); !done)
            return done.error();
    }
    return {};
}

QStringList NoticeStore::scratchRowsSql()
{
    return {QStringLiteral("delete * from TempAvvisi where NomeComputer = ?"),
            notices::clearRecipientsSql()};
}

ReportDefinition NoticeStore::noticesReport()
{
    // The recipient's names and title fill the fields a notice text may hold. The second key of
    // the order keeps the engine reading the few recipients first, not every contact in name
    // order.
    return {
        QStringLiteral("Avvisi.rpt"), QStringLiteral("AvvisiLan.rpt"),
        QStringLiteral("SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Indirizzo, "
                       "Contatti.Telefono, Contatti.Cellulare, Contatti.Cap, Contatti.CFisc, "
                       "Contatti.PIva, Contatti.Numero AS Civico, TempAvvisi.Testo, "
                       "Comuni.Comune, Comuni.Provincia, Contatti.Nome, Contatti.Cognome, "
                       "Contatti.RagioneSociale, Contatti.NominativoDocumenti, "
                       "Titoli.Descrizione AS Titolo FROM (((TempAvvisiContatti INNER JOIN "
                       "Contatti ON TempAvvisiContatti.Contatto_ID = Contatti.ID) INNER JOIN "
                       "TempAvvisi ON TempAvvisiContatti.NomeComputer = TempAvvisi.NomeComputer) "
                       "LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) LEFT JOIN Titoli ON "
                       "Contatti.Titolo_id = Titoli.Id WHERE "
                       "TempAvvisiContatti.NomeComputer = ? ORDER BY Contatti.NominativoDocumenti, "
                       "TempAvvisiContatti.Id"),
        false, true};
}
