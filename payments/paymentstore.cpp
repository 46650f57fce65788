#include "payments/paymentstore.h"

#include "common/recordoperations.h"
#include "db/core/datetimes.h"
#include "session/reporthandoff.h"
#include "session/shareddatasets.h"

PaymentStore::PaymentStore(SharedDataSets &shared) : TablePagamenti(shared.connection())
{
    shared.add(TablePagamenti,
               {QStringLiteral("TablePagamenti"), QStringLiteral("select top 1 * from Pagamenti"),
                QStringLiteral("Id")});
}

QString PaymentStore::contactPaymentsSql()
{
    return QStringLiteral("select * from Pagamenti where Contatto_ID = ? order by data desc");
}

db::Status PaymentStore::showContact(const QVariant &contactId)
{
    TablePagamenti.close();
    TablePagamenti.setSql(contactPaymentsSql(), {contactId});
    return TablePagamenti.open();
}

db::Status PaymentStore::append(const QVariant &contactId)
{
    (void)TablePagamenti.setFilter(QString());
    db::Status added = TablePagamenti.append();
    if (added)
        added = TablePagamenti.setValue(u"Contatto_ID", contactId);
    if (added)
        added = TablePagamenti.setValue(u"data", db::naiveDateTime(db::clock::today()));
    return added;
}

db::Status PaymentStore::save()
{
    return SalvaRecord(TablePagamenti, QStringLiteral("Id"));
}

db::Status PaymentStore::remove()
{
    return EliminaRecord(TablePagamenti, QStringLiteral("Id"));
}

ReportDefinition PaymentStore::paymentsReport()
{
    return {
        QStringLiteral("Pagamenti.rpt"), QStringLiteral("PagamentiLan.rpt"),
        QStringLiteral("SELECT Contatti.NominativoDocumenti as Nominativo, Pagamenti.data, "
                       "Pagamenti.Descrizione as Pagamento, Pagamenti.Importo, "
                       "Contatti.Telefono,Contatti.Cellulare,  Comuni.Comune, Comuni.Provincia, "
                       "COALESCE(NULLIF(Contatti.Cap, ''), Comuni.CAP) AS CAP, "
                       "Contatti.ID AS IdContatto, Categorie.descrizione AS Categoria, "
                       "Regioni.Descrizione AS "
                       "Regione FROM Pagamenti INNER JOIN ((((Contatti LEFT JOIN Comuni ON "
                       "Contatti.Citta_ID = Comuni.ID) LEFT JOIN Categorie ON "
                       "Contatti.Categoria_ID = Categorie.Id) LEFT JOIN Province ON "
                       "Comuni.Provincia = Province.PROVINCIA) LEFT JOIN Regioni ON "
                       "Province.Regione_ID = Regioni.IDRegione) ON Pagamenti.Contatto_ID = "
                       "Contatti.ID ORDER BY Contatti.NominativoDocumenti, Contatti.ID, "
                       "Pagamenti.data, Pagamenti.Id"),
        true, true};
}
