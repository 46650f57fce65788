// Time to filter and sort a data set's fetched rows on the client, as a window does while the
// user types a search: synthetic contacts held in memory, no archive involved.
// Usage: bench_rowfilter [rows ...]   (default: 100000 1000000)

#include "db/datasets/rowfilter.h"
#include "db/core/datetimes.h"
#include "db/datasets/rowsort.h"

#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>

namespace {

const QStringList surnames = {
    QStringLiteral("Rossi"),        QStringLiteral("Rossini"),  QStringLiteral("Rosselli"),
    QStringLiteral("Rossetti"),     QStringLiteral("Rosà"),     QStringLiteral("Romano"),
    QStringLiteral("Russo"),        QStringLiteral("Ferrari"),  QStringLiteral("Esposito"),
    QStringLiteral("Bianchi"),      QStringLiteral("Colombo"),  QStringLiteral("Ricci"),
    QStringLiteral("Marino"),       QStringLiteral("Greco"),    QStringLiteral("Bruno"),
    QStringLiteral("Gallo"),        QStringLiteral("Conti"),    QStringLiteral("De Luca"),
    QStringLiteral("Mancini"),      QStringLiteral("Costa"),    QStringLiteral("Giordano"),
    QStringLiteral("Rizzo"),        QStringLiteral("Lombardi"), QStringLiteral("Moretti"),
    QStringLiteral("D'Amico"),      QStringLiteral("D'Angelo"), QStringLiteral("Dell'Acqua"),
    QStringLiteral("D'Alessandro"), QStringLiteral("Cantù"),    QStringLiteral("Bertè"),
    QStringLiteral("Pirrò"),        QStringLiteral("Lucà"),     QStringLiteral("Zappalà"),
    QStringLiteral("Nicolò"),       QStringLiteral("Fabbri"),   QStringLiteral("Caruso"),
    QStringLiteral("Ferri"),        QStringLiteral("Galli"),    QStringLiteral("Martini"),
    QStringLiteral("Leone"),        QStringLiteral("Longo"),    QStringLiteral("Gentile"),
    QStringLiteral("Martinelli"),   QStringLiteral("Vitale"),   QStringLiteral("Lombardo"),
    QStringLiteral("Serra"),        QStringLiteral("Coppola"),  QStringLiteral("De Santis"),
    QStringLiteral("Orlando"),      QStringLiteral("Ruggiero"),
};
const QStringList names = {
    QStringLiteral("Marco"),     QStringLiteral("Giulia"), QStringLiteral("Luca"),
    QStringLiteral("Francesca"), QStringLiteral("Nicolò"), QStringLiteral("Andrea"),
    QStringLiteral("Chiara"),    QStringLiteral("Pietro"), QStringLiteral("Ilaria"),
    QStringLiteral("Giosuè"),    QStringLiteral("Noè"),    QStringLiteral("Rosa"),
    QStringLiteral("Roberto"),   QStringLiteral("Sara"),   QStringLiteral("Matteo"),
    QStringLiteral("Elena"),     QStringLiteral("Davide"), QStringLiteral("Anna"),
};
const QStringList categories = {QStringLiteral("Cliente"), QStringLiteral("Fornitore"),
                                QStringLiteral("Privato"), QStringLiteral("Ente pubblico")};
const QStringList professions = {QStringLiteral("Avvocato"), QStringLiteral("Ingegnere"),
                                 QStringLiteral("Geometra"), QStringLiteral("Commercialista"),
                                 QStringLiteral("Artigiano")};

QList<db::Column> contactColumns()
{
    const auto column = [](const char *name, db::FieldKind kind) {
        db::Column c;
        c.name = QString::fromLatin1(name);
        c.kind = kind;
        return c;
    };
    return {column("Ide", db::FieldKind::Integer),
            column("NominativoVisualizzato", db::FieldKind::Text),
            column("Cognome", db::FieldKind::Text),
            column("Nome", db::FieldKind::Text),
            column("Telefono", db::FieldKind::Text),
            column("Categoria", db::FieldKind::Text),
            column("Professione", db::FieldKind::Text),
            column("Fax", db::FieldKind::Text),
            column("Note", db::FieldKind::Memo),
            column("DataNascita", db::FieldKind::Date)};
}

QList<QVariantList> contactRows(qsizetype count)
{
    std::mt19937 random(20261201);
    const auto pick = [&](const QStringList &list) {
        return list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(random)];
    };
    const auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(random); };
    const auto digits = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + std::uniform_int_distribution<int>(0, 9)(random));
        return s;
    };
    const QDate first(1940, 1, 1);
    QList<QVariantList> rows;
    rows.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        QVariantList row(10);
        row[0] = qlonglong(i + 1);
        const int kind = percent();
        if (kind < 6) {
            row[1] = QStringLiteral("Edilizia %1 S.r.l.").arg(pick(surnames));
        } else if (kind < 7) {
            // a contact still without a name
        } else {
            const QString surname = pick(surnames);
            const QString name = pick(names);
            row[1] = surname + u' ' + name;
            row[2] = surname;
            row[3] = name;
        }
        const int phone = percent();
        if (phone < 70)
            row[4] = QStringLiteral("33") + digits(8);
        else if (phone < 90)
            row[4] = QStringLiteral("0") + digits(9);
        row[5] = pick(categories);
        if (percent() < 60)
            row[6] = pick(professions);
        if (percent() < 25)
            row[7] = QStringLiteral("0") + digits(9);
        if (percent() < 30)
            row[8] =
                QStringLiteral("Richiamare dopo le %1, chiedere di %2").arg(digits(2), pick(names));
        if (percent() < 80) {
            const qint64 day = std::uniform_int_distribution<qint64>(0, 65 * 365)(random);
            row[9] = db::naiveDateTime(first.addDays(day));
        }
        rows.append(row);
    }
    return rows;
}

struct Figures
{
    double p50 = 0, p95 = 0, max = 0;
};

Figures figuresOf(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) { return ms[std::min(ms.size() - 1, qsizetype(q * ms.size()))]; };
    return {at(0.5), at(0.95), ms.last()};
}

// Parses the filter and evaluates it on every row, as one keystroke in a search box does.
Figures timeFilter(const QString &text, const QList<db::Column> &columns,
                   const QList<QVariantList> &rows, int repeats, qsizetype *kept)
{
    QList<double> ms;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        const db::Result<db::RowFilter> filter = db::RowFilter::parse(text, columns);
        if (!filter) {
            std::fprintf(stderr, "%s\n", qPrintable(filter.message()));
            std::exit(1);
        }
        qsizetype count = 0;
        for (const QVariantList &row : rows)
            count += filter->matches(row) ? 1 : 0;
        ms.append(timer.nsecsElapsed() / 1e6);
        *kept = count;
    }
    return figuresOf(ms);
}

Figures timeSort(const QString &text, const QList<db::Column> &columns,
                 const QList<QVariantList> &rows, int repeats)
{
    QList<double> ms;
    for (int r = 0; r < repeats; ++r) {
        QList<qsizetype> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        QElapsedTimer timer;
        timer.start();
        const db::Result<db::RowSort> sort = db::RowSort::parse(text, columns);
        if (!sort) {
            std::fprintf(stderr, "%s\n", qPrintable(sort.message()));
            std::exit(1);
        }
        sort->sort(order, rows);
        ms.append(timer.nsecsElapsed() / 1e6);
    }
    return figuresOf(ms);
}

void run(qsizetype count)
{
    const QList<db::Column> columns = contactColumns();
    QElapsedTimer built;
    built.start();
    const QList<QVariantList> rows = contactRows(count);
    std::printf("\n%lld rows (built in %.0f ms)\n", qlonglong(count), built.nsecsElapsed() / 1e6);

    const int repeats = count > 200000 ? 20 : 50;
    std::printf(
        "  filter, parse + evaluate, %d repeats         p50 ms   p95 ms   max ms     kept\n",
        repeats);
    for (const char *typed : {"r", "ro", "ros", "ross"}) {
        const QString text =
            QStringLiteral("NominativoVisualizzato like '%1*'").arg(QString::fromLatin1(typed));
        qsizetype kept = 0;
        const Figures f = timeFilter(text, columns, rows, repeats, &kept);
        std::printf("  %-42s %8.2f %8.2f %8.2f %8lld\n", qPrintable(text.sliced(23)), f.p50, f.p95,
                    f.max, qlonglong(kept));
    }
    const QString both =
        QStringLiteral("NominativoVisualizzato like 'ro*' and Telefono like '33*'");
    qsizetype kept = 0;
    const Figures f = timeFilter(both, columns, rows, repeats, &kept);
    std::printf("  %-42s %8.2f %8.2f %8.2f %8lld\n", "... like 'ro*' and Telefono like '33*'",
                f.p50, f.p95, f.max, qlonglong(kept));

    const int sortRepeats = count > 200000 ? 3 : 10;
    std::printf("  sort, parse + sort all rows, %d repeats      p50 ms            max ms\n",
                sortRepeats);
    for (const char *text : {"NominativoVisualizzato ASC", "DataNascita DESC, Cognome ASC"}) {
        const Figures s = timeSort(QString::fromLatin1(text), columns, rows, sortRepeats);
        std::printf("  %-42s %8.1f          %8.1f\n", text, s.p50, s.max);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QList<qsizetype> counts;
    for (int i = 1; i < argc; ++i)
        counts.append(std::max(1LL, std::atoll(argv[i])));
    if (counts.isEmpty())
        counts = {100000, 1000000};
    for (qsizetype count : counts)
        run(count);
    return 0;
}
