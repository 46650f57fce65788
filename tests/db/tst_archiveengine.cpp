// What the program expects of the engine that holds its archive, whichever it is: typed values,
// the text rules, keys and counters, and two workstations on the same rows. Runs once per engine.

#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "db/datasets/dataset.h"
#include "db/sqlite/sqlitefunctions.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <algorithm>

namespace {

QStringList texts(const db::RowSet &rows, int column = 0)
{
    QStringList values;
    for (const QVariantList &row : rows.rows)
        values.append(row.value(column).isValid() ? row.value(column).toString()
                                                  : QStringLiteral("<null>"));
    return values;
}

// 1,000 conflicting edits between the two on a server; fewer on a file, where every write waits
// for the disk and for the other workstation's lock and the test would take minutes.
int editsPerWorkstation()
{
    return FreshArchive::onServer() ? 500 : 100;
}

// One workstation of the two-process test: reads the counter of contact 42, writes it back one
// higher, as many times as it is asked. Prints the saves and the refusals.
int runWorkstation(const QString &archive)
{
    // A file busy with the other workstation's writes may keep a reader waiting past its time-out:
    // the user tries again.
    const auto busy = [](const db::Status &s) {
        return !s.ok() && s.message().contains(u"bloccato");
    };
    auto opened = db::openArchive(archive);
    for (int attempt = 0; !opened && busy(opened.error()) && attempt < 20; ++attempt)
        opened = db::openArchive(archive);
    if (!opened)
        qFatal("%s", qPrintable(opened.message()));
    int saved = 0, refused = 0;
    for (int i = 0; i < editsPerWorkstation(); ++i) {
        db::DataSet contact(**opened);
        contact.setSql(QStringLiteral("select * from Contatti where ID = 42"));
        db::Status read = contact.open();
        for (int attempt = 0; busy(read) && attempt < 20; ++attempt)
            read = contact.open();
        if (!read || contact.recordCount() != 1)
            qFatal("cannot read the contact: %s", qPrintable(read.message()));
        const int value = contact.asInteger(u"NumeroColore");
        if (!contact.setValue(u"NumeroColore", value + 1).ok())
            qFatal("cannot edit the contact");
        const db::Status posted = contact.post();
        if (posted) {
            ++saved;
        } else if (posted.error().kind == db::ErrorKind::ChangedElsewhere &&
                   posted.message() == u"Il record è stato modificato da un'altra postazione.") {
            ++refused;
        } else if (posted.message().contains(u"bloccato")) {
            ++refused; // the engine kept the other workstation's lock past the wait: not saved
        } else {
            qFatal("unexpected failure: %s", qPrintable(posted.message()));
        }
    }
    QTextStream(stdout) << saved << ' ' << refused << Qt::endl;
    return 0;
}

} // namespace

class TestArchiveEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesComeBackTyped()
    {
        FreshArchive archive;
        archive.native(
            QStringLiteral("INSERT INTO Pagamenti (Contatto_ID, data, Descrizione, Importo) "
                           "VALUES (?, ?, ?, ?)"),
            {7, db::naiveDateTime(QDate(2026, 2, 28), QTime(23, 59, 59)), "Saldo", 0.1});
        archive.native(
            QStringLiteral("INSERT INTO Calendario (Data, Conclusa, Note) VALUES (?, ?, ?)"),
            {db::naiveDateTime(QDate(2026, 12, 9)), true, QString()});
        const db::RowSet payment =
            archive.run(QStringLiteral("select Contatto_ID, data, Importo, Descrizione "
                                       "from Pagamenti"));
        QCOMPARE(payment.rows.size(), 1);
        QCOMPARE(payment.rows[0][0].typeId(), QMetaType::LongLong);
        QCOMPARE(payment.rows[0][1].toDateTime(),
                 db::naiveDateTime(QDate(2026, 2, 28), QTime(23, 59, 59)));
        QCOMPARE(payment.rows[0][2].typeId(), QMetaType::Double);
        QCOMPARE(payment.rows[0][2].toDouble(), 0.1);
        QCOMPARE(payment.columns[2].kind, db::FieldKind::Currency);
        QCOMPARE(payment.rows[0][3].toString(), QStringLiteral("Saldo"));
        const db::RowSet appointment =
            archive.run(QStringLiteral("select Conclusa, Storico, Note from Calendario"));
        QCOMPARE(appointment.rows[0][0].typeId(), QMetaType::Bool);
        QCOMPARE(appointment.rows[0][0].toBool(), true);
        QCOMPARE(appointment.rows[0][1].toBool(), false); // the default of a yes/no column
        QVERIFY(!appointment.rows[0][2].isValid());
        // Amounts sum without the error of binary fractions, dates compare with Jet literals.
        QCOMPARE(archive
                     .run(QStringLiteral(
                         "select Descrizione from Pagamenti where data > #2/28/2026 23.59.58# "
                         "and Importo = 0.1"))
                     .rows.size(),
                 1);
    }

    void textsIgnoreCaseAndSortAccentsBesideTheirLetters()
    {
        FreshArchive archive;
        const QStringList names = {"Zeta", "éclair", "Eco", "abete",   "Ètna",   "eco",
                                   "Ecò",  "b",      "B",   "d'Amico", "D'AMICO"};
        for (const QString &n : names)
            archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {n});
        QStringList expected = names;
        std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            const QByteArray x = a.toUtf8(), y = b.toUtf8();
            return db::compareNoCase(x.constData(), int(x.size()), y.constData(), int(y.size())) <
                   0;
        });
        const QStringList sorted = texts(
            archive.run(QStringLiteral("select Descrizione from Titoli order by Descrizione, Id")));
        // Texts equal but for case may come in either order; what sorts between them may not.
        QCOMPARE(QStringList(sorted).join(u',').toLower(), expected.join(u',').toLower());
        QCOMPARE(texts(archive.run(QStringLiteral(
                     "select Descrizione from Titoli where Descrizione = 'ECO' order by Id"))),
                 QStringList({"Eco", "eco"}));
        QCOMPARE(texts(archive.run(QStringLiteral(
                     "select Descrizione from Titoli where Descrizione = 'd''amico' order by Id"))),
                 QStringList({"d'Amico", "D'AMICO"}));
        QCOMPARE(texts(archive.run(
                     QStringLiteral("select count(*) from Titoli where Descrizione > 'DELTA'"))),
                 QStringList({"6"}));
    }

    // The stored text of a date and time, written by hand, is the one Qt's format gives.
    void storedDateTimesAreWrittenAsQtWritesThem()
    {
        const QList<QDateTime> values = {
            db::naiveDateTime(QDate(1, 1, 1), QTime(0, 0)),
            db::naiveDateTime(QDate(999, 12, 31), QTime(23, 59, 59)),
            db::naiveDateTime(QDate(1000, 1, 1), QTime(0, 0)),
            db::naiveDateTime(QDate(1800, 1, 1), QTime(7, 5, 3)),
            db::naiveDateTime(QDate(1899, 12, 30), QTime(0, 0)),
            db::naiveDateTime(QDate(2026, 12, 8), QTime(23, 59, 59, 999)),
            QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::LocalTime),
            db::naiveDateTime(QDate(9999, 12, 31), QTime(12, 0)),
            QDateTime(),
        };
        for (const QDateTime &value : values) {
            QCOMPARE(db::storedDateTimeText(value),
                     db::toNaive(value).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        }
        QCOMPARE(db::storedDateTimeText(db::naiveDateTime(QDate(1800, 1, 1), QTime(7, 5, 3))),
                 QStringLiteral("1800-01-01 07:05:03"));
    }

    // The order by hand: first without case and accents, then the accented after the plain.
    // Pairs that differ before any accent and pairs that differ at one take different ways
    // through the comparison; both must agree with this one order.
    void collationOrdersByLettersThenAccents()
    {
        const QStringList order = {"Àbaco",  "abete",   "Niccolò", "Nicola", "nicolo",
                                   "Nicolò", "Nicolòa", "Zoé",     "zoo",    "zoo zoé"};
        for (qsizetype i = 0; i < order.size(); ++i) {
            for (qsizetype j = 0; j < order.size(); ++j) {
                const QByteArray x = order[i].toUtf8(), y = order[j].toUtf8();
                const int c =
                    db::compareNoCase(x.constData(), int(x.size()), y.constData(), int(y.size()));
                QVERIFY2((c < 0) == (i < j) && (c == 0) == (i == j),
                         qPrintable(order[i] + QStringLiteral(" / ") + order[j]));
            }
        }
    }

    void likeIgnoresCaseNotAccentsAndHasNoEscape()
    {
        FreshArchive archive;
        for (const char *n : {"Rossi", "ROSSINI", "Rössi", "50% sconto", "a\\b", "a_b", "Ètna"})
            archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"),
                           {QString::fromUtf8(n)});
        const auto like = [&](const QString &where) {
            return texts(archive.run(QStringLiteral("select Descrizione from Titoli where ") +
                                     where + QStringLiteral(" order by Id")));
        };
        QCOMPARE(like(QStringLiteral("Descrizione like 'ross%'")),
                 QStringList({"Rossi", "ROSSINI"}));
        QCOMPARE(like(QStringLiteral("Descrizione like 'r' & 'oss' & '_'")),
                 QStringList({"Rossi"}));
        QCOMPARE(like(QStringLiteral("Descrizione like 'èt%'")), QStringList({"Ètna"}));
        QCOMPARE(like(QStringLiteral("Descrizione like 'a\\b'")), QStringList({"a\\b"}));
        QCOMPARE(like(QStringLiteral("Descrizione like 'a_b'")), QStringList({"a\\b", "a_b"}));
        QCOMPARE(like(QStringLiteral("Descrizione not like '%s%' and Descrizione like '%'")),
                 QStringList({"a\\b", "a_b", "Ètna"}));
        QCOMPARE(like(QStringLiteral("(Descrizione like '%0\\%%' escape '\\') or Id = 0")),
                 QStringList({"50% sconto"}));
        const db::Result<db::RowSet> bound = archive.connection().run(
            u"select Descrizione from Titoli where Descrizione like ? order by Id",
            {QStringLiteral("%SSI%")});
        QVERIFY2(bound.ok(), qPrintable(bound.message()));
        QCOMPARE(texts(*bound), QStringList({"Rossi", "ROSSINI", "Rössi"}));
    }

    void nullsSortFirstAscendingAndLastDescending()
    {
        FreshArchive archive;
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {QString()});
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {"b"});
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {"a"});
        QCOMPARE(texts(archive.run(
                     QStringLiteral("select Descrizione from Titoli order by Descrizione"))),
                 QStringList({"<null>", "a", "b"}));
        QCOMPARE(texts(archive.run(QStringLiteral(
                     "select top 2 Descrizione from Titoli order by Descrizione desc, Id"))),
                 QStringList({"b", "a"}));
    }

    void identityIsThisConnectionsLastKeyAndCountersSkipGivenKeys()
    {
        FreshArchive archive;
        auto other = db::openArchive(archive.path());
        QVERIFY(other.ok());
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {"uno"});
        (void)(*other)->runNative(QStringLiteral("insert into Titoli (Descrizione) values (?)"),
                                  {"due"});
        QCOMPARE(archive.run(QStringLiteral("SELECT @@IDENTITY as ID;")).rows[0][0].toLongLong(),
                 1);
        QCOMPARE((*other)->run(u"SELECT @@IDENTITY").value().rows[0][0].toLongLong(), 2);
        archive.native(QStringLiteral("insert into Titoli (Id, Descrizione) values (?, ?)"),
                       {42, "dato"});
        QCOMPARE(archive.run(QStringLiteral("SELECT @@IDENTITY")).rows[0][0].toLongLong(), 42);
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {"dopo"});
        QCOMPARE(archive.run(QStringLiteral("SELECT @@IDENTITY")).rows[0][0].toLongLong(), 43);
    }

    void secondSaveOfTheSameRowIsRefusedAndPerWorkstationRowsStayApart()
    {
        FreshArchive archive;
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {"a"});
        auto other = db::openArchive(archive.path());
        QVERIFY(other.ok());
        db::DataSet mine(archive.connection()), theirs(**other);
        for (db::DataSet *ds : {&mine, &theirs}) {
            ds->setSql(QStringLiteral("select * from Titoli"));
            QVERIFY(ds->open().ok());
            QVERIFY(ds->setValue(u"Descrizione",
                                 ds == &mine ? QStringLiteral("mio") : QStringLiteral("suo"))
                        .ok());
        }
        QVERIFY(theirs.post().ok());
        const db::Status refused = mine.post();
        QCOMPARE(refused.message(),
                 QStringLiteral("Il record è stato modificato da un'altra postazione."));
        QCOMPARE(mine.asString(u"Descrizione"), QStringLiteral("mio"));

        (void)(*other)->run(
            u"insert into TempAvvisi (NomeComputer, Testo) values ('PC-CASSA', 'x')");
        archive.run(QStringLiteral(
            "insert into TempAvvisi (NomeComputer, Testo) values ('PC-UFFICIO', 'y')"));
        archive.run(QStringLiteral("delete * from TempAvvisi where NomeComputer ='PC-UFFICIO'"));
        QCOMPARE(texts(archive.run(QStringLiteral("select NomeComputer from TempAvvisi"))),
                 QStringList({"PC-CASSA"}));
    }

    // Two processes make conflicting edits to the same row: every save either lands on what its
    // workstation read or is refused and reported; none overwrites the other's unseen.
    void twoWorkstationsConflictingEdits()
    {
        FreshArchive archive;
        archive.native(
            QStringLiteral("insert into Contatti (ID, Cognome, NumeroColore) values (?, ?, ?)"),
            {42, "Rossi", 0});
        QList<QProcess *> workstations;
        for (int w = 0; w < 2; ++w) {
            auto *p = new QProcess(this);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("CALVETRA_TEST_WORKSTATION"), archive.path());
            p->setProcessEnvironment(env);
            p->start(QCoreApplication::applicationFilePath(), {});
            workstations.append(p);
        }
        int saved = 0, refused = 0;
        for (QProcess *p : std::as_const(workstations)) {
            QVERIFY(p->waitForFinished(300000));
            QVERIFY2(p->exitCode() == 0, p->readAllStandardError().constData());
            const QStringList counts = QString::fromUtf8(p->readAllStandardOutput()).split(u' ');
            QCOMPARE(counts.size(), 2);
            saved += counts[0].toInt();
            refused += counts[1].toInt();
        }
        QCOMPARE(saved + refused, 2 * editsPerWorkstation());
        const db::RowSet stored =
            archive.run(QStringLiteral("select NumeroColore from Contatti where ID = 42"));
        QCOMPARE(stored.rows[0][0].toInt(), saved);
        qInfo("saved %d, refused %d", saved, refused);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("CALVETRA_TEST_WORKSTATION")) {
        QCoreApplication application(argc, argv);
        return runWorkstation(qEnvironmentVariable("CALVETRA_TEST_WORKSTATION"));
    }
    QCoreApplication application(argc, argv);
    TestArchiveEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_archiveengine.moc"
