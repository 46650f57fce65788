// The update script SQLAggio.sql as start-up runs it, on a real archive: what it changes, and
// that a script it refuses changes nothing and stays where it is.

#include "app/startup.h"
#include "db/sql/scripttext.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

#include <utility>

namespace {

struct Office
{
    FreshArchive archive;
    QString script = archive.folder() + QStringLiteral("/SQLAggio.sql");

    Office()
    {
        for (const auto &[id, name] : {std::pair{42, "Àlberti Niccolò"}, {43, "Bianchi Anna"}}) {
            archive.native(QStringLiteral("INSERT INTO Contatti (ID, NominativoDocumenti) "
                                          "VALUES (?, ?)"),
                           {id, QString::fromUtf8(name)});
            archive.native(QStringLiteral("INSERT INTO Calendario (Cliente_ID, Cliente) "
                                          "VALUES (?, 'vecchio')"),
                           {id});
        }
    }

    db::Status run(const QByteArray &text, bool *applied)
    {
        QFile f(script);
        if (!f.open(QIODevice::WriteOnly))
            return db::Error{QStringLiteral("cannot write the script")};
        f.write(text);
        f.close();
        return runUpdateScript(archive.connection(), archive.folder(), applied);
    }

    QStringList column(const QString &sql)
    {
        QStringList values;
        for (const QVariantList &row : archive.run(sql).rows)
            values.append(row.value(0).toString());
        return values;
    }
};

} // namespace

class TestUpdateScript : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneByteOrderMarkIsDroppedASecondIsText()
    {
        QCOMPARE(*db::scriptText(QByteArray("\xEF\xBB\xBFselect 1")), QStringLiteral("select 1"));
        QCOMPARE(*db::scriptText(QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFselect 1")),
                 QStringLiteral("\uFEFFselect 1"));
    }

    // The rewrite of UPDATE ... INNER JOIN moves the WHERE onto the line of the comment before
    // it; the comment must still end where it ended.
    void commentsInAnUpdateWithJoinChangeOnlyTheNamedRows_data()
    {
        QTest::addColumn<QByteArray>("script");
        const QByteArray join = "UPDATE Calendario INNER JOIN Contatti ON Calendario.Cliente_ID = "
                                "Contatti.ID";
        const QByteArray set = "SET Calendario.Cliente = Contatti.NominativoDocumenti";
        const QByteArray where = "WHERE Contatti.ID = 42;";
        QTest::newRow("after SET") << join + "\n" + set + " -- il nome\n" + where;
        QTest::newRow("after the join") << join + " -- collega\n" + set + "\n" + where;
        QTest::newRow("before the join") << "UPDATE Calendario -- agenda\nINNER JOIN Contatti ON "
                                            "Calendario.Cliente_ID = Contatti.ID\n" +
                                                set + "\n" + where;
        QTest::newRow("inside the WHERE") << join + "\n" + set +
                                                 "\nWHERE -- solo uno\nContatti.ID "
                                                 "= 42;";
        QTest::newRow("block comment") << join + "/* x */" + set + "/* -- y */" + where;
        QTest::newRow("line of its own")
            << "-- aggiorna\n" + join + "\n-- poi\n" + set + "\n-- infine\n" + where + "\n-- fine";
    }
    void commentsInAnUpdateWithJoinChangeOnlyTheNamedRows()
    {
        QFETCH(QByteArray, script);
        Office office;
        bool applied = false;
        const db::Status done = office.run(script, &applied);
        QVERIFY2(done.ok(), qPrintable(done.message()));
        QVERIFY(applied);
        QCOMPARE(
            office.column(QStringLiteral("select Cliente from Calendario order by Cliente_ID")),
            QStringList({QStringLiteral("Àlberti Niccolò"), QStringLiteral("vecchio")}));
    }

    void refusedScriptChangesNothingAndStays_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("NUL inside a statement")
            << QByteArray("insert into Titoli (Descrizione) values ('Dott.');\n"
                          "delete from Contatti") +
                   '\0' + QByteArray(" where ID = 999999;")
            << "carattere nullo";
        QTest::newRow("one Latin-1 byte")
            << QByteArray("insert into Titoli (Descrizione) values ('Caff\xc3\xa8');\n"
                          "insert into Titoli (Descrizione) values ('Perch\xe8');\n")
            << "non è in UTF-8 alla riga 2";
        QTest::newRow("sequence cut at the end")
            << QByteArray("insert into Titoli (Descrizione) values ('Dott.');\n-- \xc3")
            << "riga 2";
        QTest::newRow("comment never closed")
            << QByteArray("insert into Titoli (Descrizione) values ('Dott.');\n"
                          "delete from Contatti /* where ID = 42;")
            << "Commento non chiuso";
    }
    void refusedScriptChangesNothingAndStays()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        Office office;
        bool applied = true;
        const db::Status done = office.run(script, &applied);
        QVERIFY(!done.ok());
        QVERIFY2(done.message().contains(message), qPrintable(done.message()));
        QVERIFY(done.message().contains(QStringLiteral("SQLAggio.sql")));
        QVERIFY(!applied);
        QVERIFY(QFile::exists(office.script));
        QCOMPARE(office.column(QStringLiteral("select ID from Contatti order by ID")),
                 QStringList({QStringLiteral("42"), QStringLiteral("43")}));
        QVERIFY(office.column(QStringLiteral("select Descrizione from Titoli")).isEmpty());
    }

    void utf8LettersAreStoredAsWritten()
    {
        Office office;
        bool applied = false;
        const db::Status done = office.run(
            "\xef\xbb\xbfinsert into Titoli (Descrizione) values ('Caff\xc3\xa8 \xe2\x82\xac');",
            &applied);
        QVERIFY2(done.ok(), qPrintable(done.message()));
        QCOMPARE(office.column(QStringLiteral("select Descrizione from Titoli")),
                 QStringList{QStringLiteral("Caffè €")});
    }
};

QTEST_MAIN(TestUpdateScript)
#include "tst_updatescript.moc"
