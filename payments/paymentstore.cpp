#include "payments/paymentstore.h"

#include "common/recordoperations.h"
#include "db/datetimes.h"
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
