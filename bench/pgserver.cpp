// An archive on a PostgreSQL server: the contact list opened through the program beside psql
// running the same query, and saving one contact (statements sent and the time spent in them).
// Usage: bench_pgserver postgresql://utente@server/database

#include "bench/clitool.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/datasets/dataset.h"
#include "timing.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// Passes every statement on, counting them and the time they take.
class CountingConnection final : public db::Connection
{
public:
    explicit CountingConnection(db::Connection &inner) : m_inner(inner) {}

    db::Result<db::RowSet> runNative(const QString &sql, const QVariantList &values) override
    {
        QElapsedTimer t;
        t.start();
        auto r = m_inner.runNative(sql, values);
        ms += elapsedMs(t);
        ++statements;
        return r;
    }
    db::Result<QString> keyColumn(const QString &table) override
    {
        return m_inner.keyColumn(table);
    }
    db::Result<QStringList> tableNames() override { return m_inner.tableNames(); }
    db::Status begin() override
    {
        return timed([&] { return m_inner.begin(); });
    }
    db::Status commit() override
    {
        return timed([&] { return m_inner.commit(); });
    }
    db::Status rollback() override { return m_inner.rollback(); }
    const db::Dialect &dialect() const override { return m_inner.dialect(); }
    QString location() const override { return m_inner.location(); }

    int statements = 0;
    double ms = 0;

private:
    template <typename F> db::Status timed(F f)
    {
        QElapsedTimer t;
        t.start();
        db::Status done = f();
        ms += elapsedMs(t);
        ++statements;
        return done;
    }

    db::Connection &m_inner;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_pgserver postgresql://...\n");
        return 2;
    }
    const QString location = QString::fromLocal8Bit(argv[1]);
    auto opened = db::openArchive(location);
    if (!opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    db::Connection &connection = **opened;
    const QString listSql = ContactStore::contactListSql();
    const QString engineSql = *connection.translate(listSql);

    QList<double> program, alone;
    int rows = 0;
    for (int i = 0; i < 5; ++i) {
        db::DataSet list(connection);
        list.setSql(listSql);
        QElapsedTimer t;
        t.start();
        if (db::Status s = list.open(); !s) {
            std::fprintf(stderr, "%s\n", qPrintable(s.message()));
            return 1;
        }
        program.append(elapsedMs(t));
        rows = list.recordCount();
        alone.append(bench::runPsql(location, engineSql).ms);
    }
    const double p = percentile(program, 0.5), a = percentile(alone, 0.5);
    std::printf("contact list, %d rows: program %.0f ms, psql %.0f ms, ratio %.2f (medians of 5)\n",
                rows, p, a, a > 0 ? p / a : 0.0);

    // One contact opened as the editor opens it, one field changed, saved as the editor saves it.
    db::Result<db::RowSet> some = connection.run(u"select top 1 ID from Contatti order by ID desc");
    if (!some || some->rows.isEmpty()) {
        std::fprintf(stderr, "no contact\n");
        return 1;
    }
    const QVariant id = some->rows[0][0];
    CountingConnection counting(connection);
    QList<double> saveMs, saveStatements;
    for (int i = 0; i < 21; ++i) {
        db::DataSet contact(counting);
        contact.setSql(QStringLiteral("select * from Contatti where id = ?"), {id});
        if (!contact.open() || !contact.setValue(u"Note", QStringLiteral("prova %1").arg(i))) {
            std::fprintf(stderr, "cannot edit the contact\n");
            return 1;
        }
        counting.statements = 0;
        counting.ms = 0;
        // As the contact editor saves: the row in a transaction of its own.
        db::Transaction transaction(counting);
        db::Status s = contact.post();
        if (s)
            s = transaction.commit();
        if (!s) {
            std::fprintf(stderr, "%s\n", qPrintable(s.message()));
            return 1;
        }
        if (i > 0) { // the first save also learns the table's key
            saveMs.append(counting.ms);
            saveStatements.append(counting.statements);
        }
    }
    std::printf("saving one contact: %.0f statements, %.2f ms of database time (median of 20)\n",
                percentile(saveStatements, 0.5), percentile(saveMs, 0.5));
    return 0;
}
