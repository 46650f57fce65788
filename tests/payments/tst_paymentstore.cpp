// The payments' store without a window: one contact's payments, a new one, its save.

#include "db/core/datetimes.h"
#include "payments/paymentstore.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QTest>

namespace {

QDateTime day(int y, int m, int d)
{
    return db::naiveDateTime(QDate(y, m, d));
}

struct Payments
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    SharedDataSets shared{archive.connection(), QStringLiteral("PC")};
    PaymentStore store{shared};

    Payments()
    {
        const QString pay = QStringLiteral(
            "insert into Pagamenti (Contatto_ID, data, Descrizione, Importo) values (?, ?, ?, ?)");
        archive.native(pay, {1, day(2026, 1, 5), "Acconto", 500.0});
        archive.native(pay, {2, day(2026, 2, 5), "Altro", 10.0});
        archive.native(pay, {1, day(2026, 3, 5), "Saldo", 99.5});
    }
};

} // namespace

class TestPaymentStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { db::clock::useSystemTime(); }

    void aNewPaymentIsTodaysForTheContactWhateverTheSearch()
    {
        Payments p;
        db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 30)));
        db::DataSet &ds = p.store.TablePagamenti;
        QVERIFY(p.store.showContact(1).ok());
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione = 'Nessuno'")).ok());
        QVERIFY(p.store.append(1).ok());
        QCOMPARE(ds.filter(), QString());
        QCOMPARE(ds.asDateTime(u"data"), day(2026, 12, 7)); // the day, without the time
        QVERIFY(ds.setValue(u"Descrizione", QStringLiteral("Rata")).ok());
        QVERIFY(ds.setValue(u"Importo", 20.0).ok());
        QVERIFY(p.store.save().ok());
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("Rata"));
        QCOMPARE(
            p.archive
                .run(QStringLiteral("select count(*) as n from Pagamenti where Contatto_ID = 1"))
                .value(0, u"n")
                .toInt(),
            3);
        QVERIFY(p.store.remove().ok());
        QCOMPARE(ds.recordCount(), 2);
        QVERIFY(p.dialogs.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPaymentStore)
#include "tst_paymentstore.moc"
