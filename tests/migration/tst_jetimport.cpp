// The Windows version's archives brought across: every row of the office's tables with its key
// and values, the office's municipalities beside the national ones, counters past every key
// still pointed at, the password as a key, and nothing written when the import stops.

#include "common/smtpsecurity.h"
#include "db/core/archive.h"
#include "jet/jetarchive.h"
#include "migration/jetimport.h"
#include "options/adminpassword.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString sample(const char *name)
{
    return QStringLiteral(CALVETRA_TEST_DATA "/jet/data/") + QLatin1String(name);
}

struct Imported
{
    QTemporaryDir dir;
    std::unique_ptr<db::Connection> archive;
    std::unique_ptr<jet::Archive> source;
    db::Result<migration::ImportSummary> summary{db::Error{}};

    explicit Imported(const char *file, const migration::ImportProgress &progress = {})
    {
        auto opened = jet::Archive::open(sample(file));
        if (!opened)
            qFatal("%s", qPrintable(opened.message()));
        source = std::move(*opened);
        const QString path = dir.filePath(QStringLiteral("archivio.sqlite"));
        const db::Status created =
            db::createArchive(path, [&](db::Connection &empty) -> db::Status {
                summary = migration::importJetArchive(*source, empty, progress);
                return summary ? db::Status() : db::Status(summary.error());
            });
        if (!created)
            return;
        auto reopened = db::openArchive(path);
        if (!reopened)
            qFatal("%s", qPrintable(reopened.message()));
        archive = std::move(*reopened);
    }

    QList<QVariantList> oldRows(const QString &table, QList<jet::Column> *columns)
    {
        *columns = *source->columns(table);
        QList<QVariantList> rows;
        (void)source->readRows(table, [&](const QVariantList &row) {
            rows.append(row);
            return true;
        });
        return rows;
    }

    db::RowSet rows(const QString &sql, const QVariantList &values = {})
    {
        const db::Result<db::RowSet> read = archive->runNative(sql, values);
        if (!read)
            qFatal("%s", qPrintable(read.message()));
        return *read;
    }
};

bool same(const QVariant &old, const QVariant &now)
{
    if (!old.isValid() || !now.isValid())
        return old.isValid() == now.isValid();
    switch (old.typeId()) {
    case QMetaType::QString:
        return now.typeId() == QMetaType::QString && old.toString() == now.toString();
    case QMetaType::Double:
        return qAbs(old.toDouble() - now.toDouble()) < 1e-9;
    case QMetaType::QDateTime:
        return old.toDateTime() == now.toDateTime();
    case QMetaType::QByteArray:
        return old.toByteArray() == now.toByteArray();
    case QMetaType::Bool:
        return old.toBool() == now.toBool();
    default:
        return old.toLongLong() == now.toLongLong();
    }
}

} // namespace

class TestJetImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyRowWithItsKeyAndValues_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("sample") << "archivio-esempio.mdb";
        QTest::newRow("hard cases") << "archivio-difficile.mdb";
    }
    void everyRowWithItsKeyAndValues()
    {
        QFETCH(QString, file);
        Imported imported(qPrintable(file));
        QVERIFY2(imported.summary.ok(), qPrintable(imported.summary.message()));
        const std::pair<const char *, const char *> tables[] = {
            {"Contatti", "ID"},
            {"Categorie", "Id"},
            {"Professioni", "Id"},
            {"Titoli", "Id"},
            {"Calendario", "Id"},
            {"Pagamenti", "Id"},
            {"Avvisi", "Id"},
            {"Griglie", "Id"},
            {"TipoPagamenti", "Id"},
            {"TipologiaCalendario", "Id"},
            {"Comuni", "ID"},
            {"Indirizzi", "id_cap"},
            {"Province", "CODPROV"},
            {"regioni", "IDRegione"},
            {"Nazioni", "IDNazione"},
            {"ditta", "Id"},
            {"Personalizzazioni", "Id"},
        };
        for (const auto &[table, key] : tables) {
            QString oldName;
            for (const QString &t : imported.source->tables()) {
                if (t.compare(QLatin1String(table), Qt::CaseInsensitive) == 0)
                    oldName = t;
            }
            QVERIFY2(!oldName.isEmpty(), table);
            QList<jet::Column> columns;
            const QList<QVariantList> old = imported.oldRows(oldName, &columns);
            int keyColumn = -1;
            for (qsizetype c = 0; c < columns.size(); ++c) {
                if (columns[c].name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                    keyColumn = int(c);
            }
            QVERIFY(keyColumn >= 0);
            for (const QVariantList &row : old) {
                const db::RowSet now =
                    imported.rows(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?")
                                      .arg(QLatin1String(table), QLatin1String(key)),
                                  {row[keyColumn]});
                QVERIFY2(now.rows.size() == 1,
                         qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(table),
                                                                row[keyColumn].toString())));
                for (qsizetype c = 0; c < columns.size(); ++c) {
                    QVariant stored = now.value(0, columns[c].name);
                    if (QLatin1String(table) == u"ditta" && columns[c].name == u"Logo")
                        QCOMPARE(stored.toByteArray(), row[c].toByteArray());
                    else
                        QVERIFY2(same(row[c], stored),
                                 qPrintable(QStringLiteral("%1.%2 of %3: %4 became %5")
                                                .arg(QLatin1String(table), columns[c].name,
                                                     row[keyColumn].toString(), row[c].toString(),
                                                     stored.toString())));
                }
            }
        }
    }

    void theNationalListStandsBesideTheOffices()
    {
        Imported imported("archivio-esempio.mdb");
        QVERIFY(imported.summary.ok());
        // Every national municipality is there once, the office's own rows in place of theirs.
        const db::RowSet forli =
            imported.rows(QStringLiteral("SELECT ID FROM Comuni WHERE COD_ISTAT = ?"),
                          {QStringLiteral("040012")});
        QCOMPARE(forli.rows.size(), 1);
        const db::RowSet all = imported.rows(QStringLiteral("SELECT COUNT(*) FROM Comuni"));
        QVERIFY(all.rows[0][0].toLongLong() >= 7904);
        const db::RowSet own =
            imported.rows(QStringLiteral("SELECT Cap FROM Comuni WHERE Comune = ?"),
                          {QStringLiteral("Borgo d'Ulivo")});
        QCOMPARE(own.rows.size(), 1);
        QCOMPARE(own.rows[0][0].toString(), QStringLiteral("00000"));
        QVERIFY(imported.summary->comuniAdded > 7000);
    }

    void countersPassEveryKeyStillPointedAt()
    {
        Imported imported("archivio-difficile.mdb");
        QVERIFY2(imported.summary.ok(), qPrintable(imported.summary.message()));
        const qint64 pointed =
            imported.rows(QStringLiteral("SELECT MAX(Contatto_ID) FROM Pagamenti"))
                .rows[0][0]
                .toLongLong();
        const qint64 highest =
            imported.rows(QStringLiteral("SELECT MAX(ID) FROM Contatti")).rows[0][0].toLongLong();
        QVERIFY2(pointed > highest, "the hard cases hold a payment of a deleted contact");
        imported.rows(QStringLiteral("INSERT INTO Contatti (Cognome) VALUES (?)"),
                      {QStringLiteral("Nuovo")});
        const qint64 next = imported
                                .rows(QStringLiteral("SELECT ID FROM Contatti WHERE Cognome = ?"),
                                      {QStringLiteral("Nuovo")})
                                .rows[0][0]
                                .toLongLong();
        QVERIFY(next > pointed);
        QCOMPARE(imported
                     .rows(QStringLiteral("SELECT COUNT(*) FROM Pagamenti WHERE Contatto_ID = ?"),
                           {next})
                     .rows[0][0]
                     .toLongLong(),
                 0);
    }

    void settingsKeepTheirMeaning()
    {
        Imported imported("archivio-esempio.mdb");
        QVERIFY(imported.summary.ok());
        const db::RowSet options = imported.rows(QStringLiteral("SELECT * FROM opzioni"));
        QCOMPARE(options.rows.size(), 1);
        const QString password = options.value(0, u"PasswordAmministratore").toString();
        QVERIFY(!isClearPassword(password));
        QVERIFY(passwordMatches(password, QStringLiteral("segreta")));
        QCOMPARE(smtpSecurity(options.value(0, u"SmtpCriptato"),
                              options.value(0, u"SmtpCriptaggioTipo")),
                 SmtpSecurity::ImplicitTls);
        QCOMPARE(options.value(0, u"SmtpPorta").toInt(), 465);
        const QString summary = migration::describeImport(*imported.summary);
        QVERIFY(summary.contains(QStringLiteral("TempStampa")));
        QVERIFY(summary.contains(QStringLiteral("Contatti\t40")));
    }

    void aStoppedImportWritesNothing()
    {
        Imported imported("archivio-esempio.mdb", [](qint64 done, qint64) { return done < 100; });
        QVERIFY(!imported.summary.ok());
        QVERIFY(imported.summary.message().contains(QStringLiteral("annullata")));
        QVERIFY(!imported.archive);
        QVERIFY(QDir(imported.dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestJetImport)
#include "tst_jetimport.moc"
