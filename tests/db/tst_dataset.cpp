#include "db/archive.h"
#include "db/dataset.h"
#include "db/datetimes.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

namespace {

void addTitles(FreshArchive &archive, const QStringList &titles)
{
    for (const QString &t : titles) {
        QVERIFY(archive.connection()
                    .runNative(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {t})
                    .ok());
    }
}

QStringList visible(db::DataSet &ds, const QString &column)
{
    QStringList values;
    const int c = ds.columnIndex(column);
    for (int r = 0; r < ds.recordCount(); ++r)
        values.append(ds.valueAt(r, c).toString());
    return values;
}

} // namespace

class TestDataSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void navigationOverVisibleRows()
    {
        FreshArchive archive;
        addTitles(archive, {"Sig.", "Dott.", "Avv."});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QCOMPARE(ds.recordCount(), 3);
        QVERIFY(ds.bof());
        QCOMPARE(ds.asString(u"descrizione"), QStringLiteral("Sig."));
        ds.next();
        ds.next();
        QVERIFY(!ds.eof());
        ds.next();
        QVERIFY(ds.eof());
        QCOMPARE(ds.asString(u"DESCRIZIONE"), QStringLiteral("Avv."));
        ds.prior();
        ds.prior();
        ds.prior();
        QVERIFY(ds.bof());
        QCOMPARE(ds.position(), 0);
        ds.last();
        QCOMPARE(ds.position(), 2);
        QVERIFY(!ds.value(u"NonEsiste").isValid());

        db::DataSet empty(archive.connection());
        empty.setSql(QStringLiteral("select * from Professioni"));
        QVERIFY(empty.open().ok());
        QVERIFY(empty.bof() && empty.eof());
        QCOMPARE(empty.position(), -1);
        QVERIFY(empty.isNull(u"Descrizione"));
    }

    void filterAndSortWorkOnFetchedRowsOnly()
    {
        FreshArchive archive;
        addTitles(archive, {"Sig.", "Dott.", "Dott.ssa", "Avv."});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like 'dott*'")).ok());
        QVERIFY(ds.setSort(QStringLiteral("Descrizione DESC")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")), QStringList({"Dott.ssa", "Dott."}));
        addTitles(archive, {"Dott. Ing."});
        QCOMPARE(ds.recordCount(), 2); // nothing re-runs the query behind the caller's back
        QVERIFY(ds.requery().ok());
        QCOMPARE(ds.filter(), QStringLiteral("Descrizione like 'dott*'"));
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")), QStringList({"Dott.ssa", "Dott. Ing.", "Dott."}));
        QVERIFY(ds.setFilter(QString()).ok());
        QCOMPARE(ds.recordCount(), 5);

        const db::Status refused = ds.setFilter(QStringLiteral("Colore = 3"));
        QVERIFY(!refused.ok());
        QCOMPARE(ds.filter(), QString()); // the previous filter stays
        QVERIFY(!ds.setSort(QStringLiteral("Descrizione SIDEWAYS")).ok());
        QCOMPARE(ds.sort(), QStringLiteral("Descrizione DESC"));
    }

    void locateAndBookmarks()
    {
        FreshArchive archive;
        addTitles(archive, {"Sig.", "Dott.", "Avv."});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QVERIFY(*ds.locate(u"Descrizione", QStringLiteral("DOTT.")));
        const db::DataSet::Bookmark dott = ds.bookmark();
        QVERIFY(*ds.locate(u"Id", 3));
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("Avv."));
        QVERIFY(!*ds.locate(u"Descrizione", QStringLiteral("Prof.")));
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("Avv.")); // not found: stays
        QVERIFY(!ds.locate(u"Colore", 1).ok());
        QVERIFY(ds.setSort(QStringLiteral("Descrizione")).ok());
        QVERIFY(ds.gotoBookmark(dott));
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("Dott."));
        QVERIFY(ds.remove().ok());
        QVERIFY(!ds.isBookmarkValid(dott));
        QVERIFY(!ds.gotoBookmark(dott));
    }

    void editedValuesAreBoundNeverPasted()
    {
        FreshArchive archive;
        addTitles(archive, {"Sig."});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        const QString hostile = QStringLiteral("x'); delete * from Comuni; --");
        QVERIFY(ds.setValue(u"Descrizione", hostile).ok());
        QCOMPARE(ds.state(), db::DataSet::State::Edit);
        QVERIFY(ds.post().ok());
        QCOMPARE(ds.state(), db::DataSet::State::Browse);
        QCOMPARE(archive.run(QStringLiteral("select Descrizione from Titoli")).rows[0][0].toString(), hostile);
        QCOMPARE(archive.run(QStringLiteral("select * from Comuni")).rows.size(), 7904);
    }

    void appendLearnsTheKeyAndTheDefaults()
    {
        FreshArchive archive;
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Contatti"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.append().ok());
        QVERIFY(ds.isNull(u"ID"));
        QVERIFY(ds.setValue(u"Cognome", QStringLiteral("D'Amico")).ok());
        QVERIFY(ds.setValue(u"DataNascita", db::naiveDateTime(QDate(1970, 2, 1))).ok());
        QVERIFY(ds.post().ok());
        QVERIFY(ds.asInteger(u"ID") > 0);
        QCOMPARE(ds.value(u"Annullato"), QVariant(false));
        QCOMPARE(ds.recordCount(), 1);
        QCOMPARE(ds.asString(u"DataNascita"), QStringLiteral("01/02/1970"));
        const db::RowSet stored = archive.run(QStringLiteral("select * from Contatti where ID = %1").arg(ds.asInteger(u"ID")));
        QCOMPARE(stored.value(0, u"Cognome").toString(), QStringLiteral("D'Amico"));
    }

    void secondWorkstationCannotOverwriteUnseen()
    {
        FreshArchive archive;
        addTitles(archive, {"Sig."});
        auto other = db::openArchive(archive.path());
        QVERIFY(other.ok());
        db::DataSet mine(archive.connection());
        db::DataSet theirs(**other);
        for (db::DataSet *ds : {&mine, &theirs}) {
            ds->setSql(QStringLiteral("select * from Titoli"));
            QVERIFY(ds->open().ok());
        }
        QVERIFY(theirs.setValue(u"Descrizione", QStringLiteral("Sig.ra")).ok());
        QVERIFY(theirs.post().ok());

        QVERIFY(mine.setValue(u"Descrizione", QStringLiteral("Signor")).ok());
        const db::Status refused = mine.post();
        QCOMPARE(refused.message(), QStringLiteral("Il record è stato modificato da un'altra postazione."));
        QCOMPARE(mine.state(), db::DataSet::State::Edit);
        QCOMPARE(mine.asString(u"Descrizione"), QStringLiteral("Signor"));
        QCOMPARE(archive.run(QStringLiteral("select Descrizione from Titoli")).rows[0][0].toString(),
                 QStringLiteral("Sig.ra"));

        mine.cancel();
        QVERIFY(theirs.remove().ok());
        QVERIFY(mine.setValue(u"Descrizione", QStringLiteral("Signor")).ok());
        QCOMPARE(mine.post().message(), QStringLiteral("Il record è stato eliminato da un'altra postazione."));
    }

    void refusedPostKeepsTheBufferAndTheEngineText()
    {
        FreshArchive archive;
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Sesso"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.append().ok());
        QVERIFY(ds.setValue(u"Sesso", QStringLiteral("M")).ok());
        QVERIFY(ds.setValue(u"Descrizione", QStringLiteral("Doppione")).ok());
        QSignalSpy failed(&ds, &db::DataSet::postFailed);
        ds.first(); // leaving the row writes it; the key is taken, so it stays
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0][0].toString().contains(QStringLiteral("UNIQUE"), Qt::CaseInsensitive));
        QCOMPARE(ds.state(), db::DataSet::State::Insert);
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("Doppione"));
        QCOMPARE(archive.run(QStringLiteral("select * from Sesso")).rows.size(), 2);
    }

    void joinedRowsAreReadOnly()
    {
        FreshArchive archive;
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("SELECT Indirizzi.Cap, Comuni.Comune FROM Indirizzi INNER JOIN "
                                 "Comuni ON Indirizzi.Comune_ID = Comuni.ID"));
        QVERIFY(ds.open().ok());
        QVERIFY(!ds.edit().ok());
        QVERIFY(!ds.setValue(u"Cap", QStringLiteral("00000")).ok());
    }

    void removePositionsOnTheFollowingRow()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b", "c"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by Descrizione"));
        QVERIFY(ds.open().ok());
        ds.next();
        QVERIFY(ds.remove().ok());
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("c"));
        QVERIFY(ds.remove().ok());
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("a"));
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 1);
    }

    void suspendedControlsHearOnceAtTheEnd()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QSignalSpy resets(&ds, &db::DataSet::reset);
        ds.disableControls();
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione = 'a'")).ok());
        QVERIFY(ds.setSort(QStringLiteral("Id DESC")).ok());
        QVERIFY(ds.requery().ok());
        QCOMPARE(resets.size(), 0);
        ds.enableControls();
        QCOMPARE(resets.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataSet)
#include "tst_dataset.moc"
