// bench_crashsave ARCHIVE COUNT: saves COUNT payments through a data set and the record
// operations the windows use, and every seventh time two payments in one transaction. Each
// line it prints names rows whose save has returned successfully:
//   salvato KEY DESCRIZIONE      one payment
//   lotto KEY1 KEY2              two payments committed together
// scripts/crashsafety.sh kills it at random moments and checks that every one of them is in
// the archive, and that the archive is sound.

#include "bench/silentdialogs.h"
#include "common/recordoperations.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    return 1;
}

db::Result<qlonglong> insertPayment(db::Connection &c, const QString &description, int i)
{
    db::Result<db::RowSet> inserted = c.runNative(
        QStringLiteral("INSERT INTO Pagamenti (Contatto_ID, data, Descrizione, Importo) "
                       "VALUES (?, ?, ?, ?)"),
        {i % 50, db::clock::now(), description, i * 0.25});
    if (!inserted)
        return inserted.error();
    db::Result<db::RowSet> key = c.run(u"SELECT @@IDENTITY");
    if (!key)
        return key.error();
    return key->rows.value(0).value(0).toLongLong();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("Uso: bench_crashsave ARCHIVIO NUMERO"));
    SilentDialogs silent;
    setDialogs(&silent);
    auto opened = db::openArchive(args[1]);
    if (!opened)
        return fail(opened.message());
    db::Connection &c = **opened;
    db::DataSet payments(c);
    payments.setSql(QStringLiteral("select * from Pagamenti where Id < 0"));
    if (db::Status done = payments.open(); !done)
        return fail(done.message());
    const int count = args[2].toInt();
    const qint64 pid = QCoreApplication::applicationPid();
    for (int i = 1; i <= count; ++i) {
        const QString description = QStringLiteral("Rata_%1_%2").arg(pid).arg(i);
        if (i % 7 == 0) {
            db::Transaction transaction(c);
            db::Result<qlonglong> first = insertPayment(c, description + u'a', i);
            db::Result<qlonglong> second = first ? insertPayment(c, description + u'b', i) : first;
            if (!second)
                return fail(second.message());
            if (db::Status done = transaction.commit(); !done)
                return fail(done.message());
            std::printf("lotto %lld %lld\n", *first, *second);
        } else {
            db::Status done = payments.append();
            if (done)
                done = payments.setValue(u"Contatto_ID", i % 50);
            if (done)
                done = payments.setValue(u"data", db::clock::now());
            if (done)
                done = payments.setValue(u"Descrizione", description);
            if (done)
                done = payments.setValue(u"Importo", i * 0.25);
            if (done)
                done = ConfermaRecord(payments, QStringLiteral("Id"));
            if (!done)
                return fail(done.message());
            std::printf("salvato %lld %s\n", payments.asInteger(u"Id"),
                        description.toUtf8().constData());
        }
        std::fflush(stdout);
    }
    return 0;
}
