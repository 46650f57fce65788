#include "bench/generatearchive.h"

#include "db/core/archive.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kContacts = 500;
constexpr quint32 kSeed = 7;

std::unique_ptr<db::Connection> openGenerated(const QString &path)
{
    auto opened = db::openArchive(path);
    if (!opened) {
        QTest::qFail(qPrintable(opened.message()), __FILE__, __LINE__);
        return {};
    }
    return std::move(*opened);
}

db::RowSet select(db::Connection &connection, const QString &sql)
{
    db::Result<db::RowSet> rows = connection.runNative(sql);
    if (!rows) {
        QTest::qFail(qPrintable(rows.message()), __FILE__, __LINE__);
        return {};
    }
    return std::move(*rows);
}

// Every row of the generated tables, in key order.
QList<QVariantList> generatedRows(db::Connection &connection)
{
    QList<QVariantList> all;
    for (const char *sql :
         {"SELECT * FROM Contatti ORDER BY ID", "SELECT * FROM Pagamenti ORDER BY Id",
          "SELECT * FROM Calendario ORDER BY Id"})
        all += select(connection, QString::fromLatin1(sql)).rows;
    return all;
}

} // namespace

class TestGenerateArchive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_path = m_dir.filePath(QStringLiteral("archivio.sqlite"));
        const db::Status done = bench::generateArchive(m_path, kContacts, kSeed);
        QVERIFY2(done.ok(), qPrintable(done.message()));
        m_archive = openGenerated(m_path);
        QVERIFY(m_archive);
    }

    void rowCounts()
    {
        const auto count = [this](const char *table) {
            return select(*m_archive,
                          QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
                .rows.value(0)
                .value(0)
                .toInt();
        };
        QCOMPARE(count("Contatti"), kContacts);
        QCOMPARE(count("Comuni"), 7904);
        // Two payments and one appointment per contact on average.
        QVERIFY2(count("Pagamenti") > kContacts * 17 / 10 &&
                     count("Pagamenti") < kContacts * 23 / 10,
                 qPrintable(QString::number(count("Pagamenti"))));
        QVERIFY2(count("Calendario") > kContacts * 8 / 10 &&
                     count("Calendario") < kContacts * 12 / 10,
                 qPrintable(QString::number(count("Calendario"))));
        for (const char *list :
             {"Categorie", "Professioni", "Titoli", "TipoPagamenti", "TipologiaCalendario"})
            QVERIFY2(count(list) > 0, list);
    }

    // Each query lists the rows that break one rule; none must.
    void noRowBreaksTheRules_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("home town exists") << "SELECT ID FROM Contatti WHERE Citta_ID IS NOT NULL "
                                             "AND Citta_ID NOT IN (SELECT ID FROM Comuni)";
        QTest::newRow("office town exists")
            << "SELECT ID FROM Contatti WHERE UfficioComune_id IS NOT NULL "
               "AND UfficioComune_id NOT IN (SELECT ID FROM Comuni)";
        QTest::newRow("birth town exists")
            << "SELECT ID FROM Contatti WHERE LuogoNascita_Id IS NOT NULL "
               "AND LuogoNascita_Id NOT IN (SELECT ID FROM Comuni)";
        QTest::newRow("postal codes are the towns'")
            << "SELECT c.ID FROM Contatti c LEFT JOIN Comuni h ON c.Citta_ID = h.ID "
               "LEFT JOIN Comuni o ON c.UfficioComune_id = o.ID "
               "WHERE c.Cap IS NOT h.Cap OR c.UfficioCap IS NOT o.Cap";
        QTest::newRow("category exists, with its colour")
            << "SELECT c.ID FROM Contatti c LEFT JOIN Categorie k ON c.Categoria_ID = k.Id "
               "WHERE c.ColoreCategoria IS NOT k.ColoreCategoria "
               "OR (c.Categoria_ID IS NOT NULL AND k.Id IS NULL)";
        QTest::newRow("profession and title exist")
            << "SELECT ID FROM Contatti WHERE Professione_id NOT IN (SELECT Id FROM Professioni) "
               "OR Titolo_id NOT IN (SELECT Id FROM Titoli)";
        QTest::newRow("sex of every person") << "SELECT ID FROM Contatti WHERE (Nome IS NULL) <> "
                                                "(Sesso IS NULL) OR Sesso NOT IN ('M', 'F')";
        QTest::newRow("payments of existing contacts, of a known type")
            << "SELECT Id FROM Pagamenti WHERE Contatto_ID NOT IN (SELECT ID FROM Contatti) "
               "OR Descrizione NOT IN (SELECT Descrizione FROM TipoPagamenti) OR data IS NULL";
        QTest::newRow("amounts from 10 to 5000, to the cent")
            << "SELECT Id FROM Pagamenti WHERE Importo < 10 OR Importo > 5000 "
               "OR abs(Importo * 100 - round(Importo * 100)) > 1e-6";
        QTest::newRow("no payment before the contact was inserted")
            << "SELECT p.Id FROM Pagamenti p JOIN Contatti c ON p.Contatto_ID = c.ID "
               "WHERE p.data < c.DataInserimento";
        QTest::newRow("appointments name their contact")
            << "SELECT a.Id FROM Calendario a LEFT JOIN Contatti c ON a.Cliente_ID = c.ID "
               "WHERE a.Cliente IS NOT c.NominativoDocumenti";
        QTest::newRow("appointments of a known kind")
            << "SELECT Id FROM Calendario WHERE TipologiaCalendario NOT IN "
               "(SELECT Descrizione FROM TipologiaCalendario)";
        QTest::newRow("reminder up to a week before, in office hours, on weekdays")
            << "SELECT Id FROM Calendario WHERE julianday(Data) - julianday(DataAvviso) NOT "
               "BETWEEN 0 AND 7 "
               "OR time(Data) NOT BETWEEN '09:00:00' AND '18:15:00' OR strftime('%w', Data) IN "
               "('0', '6') "
               "OR Storico <> 0";
    }
    void noRowBreaksTheRules()
    {
        QFETCH(QString, sql);
        const db::RowSet rows = select(*m_archive, sql);
        QVERIFY2(rows.rows.isEmpty(), qPrintable(QStringLiteral("%1 rows, first %2")
                                                     .arg(rows.rows.size())
                                                     .arg(rows.rows.value(0).value(0).toString())));
    }

    void namesAreComposedFromTheirParts()
    {
        const db::RowSet rows = select(
            *m_archive,
            QStringLiteral("SELECT ID, RagioneSociale, Cognome, Nome, NominativoDocumenti, "
                           "NominativoVisualizzato, CFisc, DataNascita, PIva FROM Contatti"));
        const QRegularExpression personTaxCode(
            QStringLiteral("^[A-Z]{6}\\d\\d[A-Z]\\d\\d[A-Z]\\d{3}[A-Z]$"));
        const QRegularExpression vatNumber(QStringLiteral("^\\d{11}$"));
        int companies = 0, shortCompanyNames = 0, withBirthDateOnly = 0;
        for (const QVariantList &r : rows.rows) {
            const QString id = r[0].toString();
            const QString company = r[1].toString();
            const QString taxCode = r[6].toString();
            const QDateTime born = r[7].toDateTime();
            const bool isCompany = company.size() >= 2;
            companies += isCompany;
            shortCompanyNames += !r[1].isNull() && !isCompany;
            const QString document = isCompany ? company : r[2].toString() + u' ' + r[3].toString();
            QCOMPARE(r[4].toString(), document);
            QString shown = document;
            if (!taxCode.isEmpty())
                shown += QStringLiteral(" - ") + taxCode;
            else if (born.isValid())
                shown += QStringLiteral(" - ") + born.toString(QStringLiteral("dd/MM/yyyy"));
            withBirthDateOnly += taxCode.isEmpty() && born.isValid();
            QCOMPARE(r[5].toString(), shown);
            if (!isCompany && !taxCode.isEmpty())
                QVERIFY2(personTaxCode.match(taxCode).hasMatch(), qPrintable(id + u' ' + taxCode));
            if (!r[8].isNull())
                QVERIFY2(vatNumber.match(r[8].toString()).hasMatch(), qPrintable(id));
        }
        // The sample holds every way of composing a name.
        QVERIFY(companies > kContacts / 10 && companies < kContacts * 4 / 10);
        QVERIFY(shortCompanyNames > 0);
        QVERIFY(withBirthDateOnly > 0);
    }

    void sameSeedSameArchive()
    {
        const QString again = m_dir.filePath(QStringLiteral("ancora.sqlite"));
        const QString other = m_dir.filePath(QStringLiteral("altro.sqlite"));
        QVERIFY(bench::generateArchive(again, kContacts, kSeed).ok());
        QVERIFY(bench::generateArchive(other, kContacts, kSeed + 1).ok());
        const QList<QVariantList> first = generatedRows(*m_archive);
        QVERIFY(first == generatedRows(*openGenerated(again)));
        QVERIFY(first != generatedRows(*openGenerated(other)));
    }

    void emptyArchive()
    {
        const QString path = m_dir.filePath(QStringLiteral("vuoto.sqlite"));
        QVERIFY(bench::generateArchive(path, 0, kSeed).ok());
        auto archive = openGenerated(path);
        QVERIFY(archive);
        QVERIFY(generatedRows(*archive).isEmpty());
    }

    void refusals()
    {
        // An existing file is never touched.
        QVERIFY(!bench::generateArchive(m_path, 10, kSeed).ok());
        QCOMPARE(
            select(*m_archive, QStringLiteral("SELECT COUNT(*) FROM Contatti")).rows[0][0].toInt(),
            kContacts);
        const QString path = m_dir.filePath(QStringLiteral("negativo.sqlite"));
        QVERIFY(!bench::generateArchive(path, -1, kSeed).ok());
        QVERIFY(!QFile::exists(path));
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<db::Connection> m_archive;
};

QTEST_GUILESS_MAIN(TestGenerateArchive)
#include "tst_generatearchive.moc"
