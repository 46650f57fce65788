#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "db/datasets/dataset.h"
#include "db/datasets/rowstore.h"
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

qint64 idOf(FreshArchive &archive, const QString &title)
{
    return archive.native(QStringLiteral("select Id from Titoli where Descrizione = ?"), {title})
        .rows.value(0)
        .value(0)
        .toLongLong();
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
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")),
                 QStringList({"Dott.ssa", "Dott. Ing.", "Dott."}));
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
        QCOMPARE(
            archive.run(QStringLiteral("select Descrizione from Titoli")).rows[0][0].toString(),
            hostile);
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
        const db::RowSet stored = archive.run(
            QStringLiteral("select * from Contatti where ID = %1").arg(ds.asInteger(u"ID")));
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
        QCOMPARE(refused.message(),
                 QStringLiteral("Il record è stato modificato da un'altra postazione."));
        QCOMPARE(mine.state(), db::DataSet::State::Edit);
        QCOMPARE(mine.asString(u"Descrizione"), QStringLiteral("Signor"));
        QCOMPARE(
            archive.run(QStringLiteral("select Descrizione from Titoli")).rows[0][0].toString(),
            QStringLiteral("Sig.ra"));

        mine.cancel();
        QVERIFY(theirs.remove().ok());
        QVERIFY(mine.setValue(u"Descrizione", QStringLiteral("Signor")).ok());
        QCOMPARE(mine.post().message(),
                 QStringLiteral("Il record è stato eliminato da un'altra postazione."));
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

    void storedValuesComeBackAsTheyWere()
    {
        // Every kind of value a row can hold, the awkward ones included: a null text apart
        // from an empty one, a text longer than 65535 code units, a date that is not naive.
        const QString longText(70000, u'x');
        const QVariantList values = {QVariant(),
                                     QString(),
                                     QStringLiteral(""),
                                     QStringLiteral("Perché"),
                                     longText,
                                     true,
                                     qlonglong(-1) << 40,
                                     0.1,
                                     db::naiveDateTime(QDate(1969, 12, 31), QTime(23, 59, 59)),
                                     QDateTime(QDate(2024, 3, 1), QTime(8, 0)),
                                     5,
                                     QByteArray("\0\1", 2)};
        db::RowStore store(int(values.size()));
        store.append(values);
        store.append({});
        for (int c = 0; c < values.size(); ++c) {
            const QVariant back = store.value(0, c);
            QCOMPARE(back.typeId(), values[c].typeId());
            QCOMPARE(back, values[c]);
            QCOMPARE(back.isNull(), values[c].isNull());
            QVERIFY(!store.value(1, c).isValid());
        }
        QCOMPARE(store.text(0, 4).size(), 70000);
        QVariantList changed = values;
        changed[3] = QVariant();
        changed[4] = QStringLiteral("corto");
        store.replace(0, changed);
        QCOMPARE(store.row(0), changed);
        QVERIFY(!store.value(1, 4).isValid());
    }

    // A cell written again over a value of the same kind: shorter, equal and longer texts,
    // numbers, dates, others, and a kind changed both ways; the neighbours stay as they were.
    void rewrittenCellsComeBackAsWritten()
    {
        const QVariantList first = {QStringLiteral("Rossi"),
                                    qlonglong(7),
                                    0.5,
                                    db::naiveDateTime(QDate(2020, 1, 2)),
                                    QByteArray("ab"),
                                    QStringLiteral("nota")};
        const QVariantList second = {
            QStringLiteral("Bianchi"), qlonglong(8), 1.5, db::naiveDateTime(QDate(2021, 3, 4)),
            QByteArray("cd"),          QString()};
        db::RowStore store(int(first.size()));
        store.append(first);
        store.append(second);
        store.squeeze();
        const QList<QVariantList> rewrites = {
            {QStringLiteral("Ro"), qlonglong(-1), 2.5, db::naiveDateTime(QDate(1999, 9, 9)),
             QByteArray("xyz"), QStringLiteral("nota più lunga di prima")},
            {QStringLiteral("Rossini"), 2.5, qlonglong(3), QVariant(), QStringLiteral("testo"),
             QStringLiteral("")},
            {QString(), QStringLiteral("dieci"), QVariant(), qlonglong(4), QByteArray(),
             QStringLiteral("ancora")},
            first,
        };
        for (const QVariantList &values : rewrites) {
            store.replace(0, values);
            for (int c = 0; c < values.size(); ++c) {
                QCOMPARE(store.value(0, c).typeId(), values[c].typeId());
                QCOMPARE(store.value(0, c), values[c]);
                QCOMPARE(store.value(0, c).isNull(), values[c].isNull());
            }
            QCOMPARE(store.row(1), second);
        }
        store.append(first);
        QCOMPARE(store.row(2), first);
        QCOMPARE(store.size(), 3);
    }

    // What made the first save on a large list slow: a column filled to its last place was
    // copied whole by the first value written after the load. The texts of the other rows stay
    // where they are while rows are written again and added.
    void writingAfterTheLoadLeavesTheOtherRowsInPlace()
    {
        db::RowStore store(2);
        for (int i = 0; i < 5000; ++i)
            store.append({QStringLiteral("Cognome %1").arg(i), qlonglong(i)});
        store.squeeze();
        const char16_t *before = store.text(0, 0).utf16();
        for (int i = 0; i < 50; ++i) {
            store.replace(2500 + i, {QStringLiteral("Cognome %1 con aggiunta").arg(i), 1.5});
            store.append({QStringLiteral("Nuovo %1").arg(i), qlonglong(i)});
        }
        QCOMPARE(store.text(0, 0).utf16(), before);
        QCOMPARE(store.value(0, 0), QVariant(QStringLiteral("Cognome 0")));
        QCOMPARE(store.value(2549, 0), QVariant(QStringLiteral("Cognome 49 con aggiunta")));
        QCOMPARE(store.value(2549, 1), QVariant(1.5));
        QCOMPARE(store.value(5049, 0), QVariant(QStringLiteral("Nuovo 49")));
        QCOMPARE(store.size(), 5050);
    }

    void searchFoldsLetterCaseButNotAccents()
    {
        FreshArchive archive;
        addTitles(archive, {"Èrcole", "ercole", "Erba", "ÉLITE", "Kappa", "Zeta", "Östen"});
        // The Kelvin sign folds to an ASCII k.
        addTitles(archive, {QStringLiteral("\u212Aelvin")});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        const auto shown = [&](const QString &filter) {
            [&] { QVERIFY(ds.setFilter(filter).ok()); }();
            return visible(ds, QStringLiteral("Descrizione"));
        };
        QCOMPARE(shown("Descrizione like 'è*'"), QStringList({"Èrcole"}));
        QCOMPARE(shown("Descrizione like 'E*'"), QStringList({"ercole", "Erba"}));
        QCOMPARE(shown("Descrizione like 'élite'"), QStringList({"ÉLITE"}));
        QCOMPARE(shown("Descrizione like '*ITE'"), QStringList({"ÉLITE"}));
        QCOMPARE(shown("Descrizione like 'ö*'"), QStringList({"Östen"}));
        QCOMPARE(shown("Descrizione like 'k*'"),
                 QStringList({"Kappa", QStringLiteral("\u212Aelvin")}));
        QCOMPARE(shown("Descrizione = 'ERCOLE'"), QStringList({"ercole"}));
        QCOMPARE(shown("Descrizione > 'EZ' and Descrizione < 'Z'"),
                 QStringList({"Kappa", "Östen", QStringLiteral("\u212Aelvin")}));
        // The sort puts accented capitals beside their plain letters.
        QVERIFY(ds.setFilter(QString()).ok());
        QVERIFY(ds.setSort(QStringLiteral("Descrizione")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")).mid(0, 4),
                 QStringList({"ÉLITE", "Erba", "ercole", "Èrcole"}));
    }

    void nullsInSortedColumns()
    {
        FreshArchive archive;
        archive.native(QStringLiteral(
            "insert into Titoli (Descrizione) values ('b'), (null), ('a'), (null), ('')"));
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.setSort(QStringLiteral("Descrizione, Id DESC")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Id")), QStringList({"4", "2", "5", "3", "1"}));
        QVERIFY(ds.setSort(QStringLiteral("Descrizione DESC, Id")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Id")), QStringList({"1", "3", "5", "2", "4"}));
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione is null")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Id")), QStringList({"2", "4"}));
        // A value cleared in the data set is a null text: no pattern matches it.
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like '*'")).ok());
        QCOMPARE(ds.recordCount(), 3);
        QVERIFY(ds.setValue(u"Descrizione", QString()).ok());
        QVERIFY(ds.post().ok());
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like '*'")).ok());
        QCOMPARE(ds.recordCount(), 2);
    }

    void refreshedRowFindsItsPlaceAndKeepsTheChecks()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b", "c", "d"});
        auto other = db::openArchive(archive.path());
        QVERIFY(other.ok());
        db::DataSet mine(archive.connection());
        mine.setSql(
            QStringLiteral("select Id, Descrizione from Titoli order by Titoli.Descrizione;"));
        QVERIFY(mine.open().ok());
        QVERIFY(mine.setFilter(QStringLiteral("Descrizione <> 'd'")).ok());
        mine.next();
        const db::DataSet::Bookmark onB = mine.bookmark();
        const db::DataSet::Bookmark onC = mine.bookmarkAt(2);
        const qint64 b = idOf(archive, "b");

        // Another workstation renames b; reading that row alone puts it in its new place.
        QVERIFY((*other)
                    ->runNative(QStringLiteral("update Titoli set Descrizione = 'cc' where Id = ?"),
                                {b})
                    .ok());
        QVERIFY(mine.refreshRow(u"Id", b).ok());
        QCOMPARE(visible(mine, QStringLiteral("Descrizione")), QStringList({"a", "c", "cc"}));
        QCOMPARE(mine.bookmark(), onB);
        QCOMPARE(mine.position(), 2);
        QVERIFY(mine.isBookmarkValid(onC));

        // It changes again there: what this data set read is what its write is checked against.
        QVERIFY((*other)
                    ->runNative(
                        QStringLiteral("update Titoli set Descrizione = 'ccc' where Id = ?"), {b})
                    .ok());
        QVERIFY(mine.setValue(u"Descrizione", QStringLiteral("mio")).ok());
        QCOMPARE(mine.post().error().kind, db::ErrorKind::ChangedElsewhere);
        mine.cancel();
        QVERIFY(mine.refreshRow(u"Id", b).ok());
        QCOMPARE(mine.asString(u"Descrizione"), QStringLiteral("ccc"));
        QVERIFY(mine.setValue(u"Descrizione", QStringLiteral("mio")).ok());
        QVERIFY(mine.post().ok());

        // A row added elsewhere comes in sorted, one the filter drops stays out, one deleted
        // leaves and the row after it becomes current.
        QVERIFY((*other)
                    ->runNative(QStringLiteral("insert into Titoli (Descrizione) values ('bb')"))
                    .ok());
        QVERIFY(mine.refreshRow(u"Id", idOf(archive, "bb")).ok());
        QVERIFY(mine.refreshRow(u"Id", idOf(archive, "d")).ok());
        QCOMPARE(visible(mine, QStringLiteral("Descrizione")),
                 QStringList({"a", "bb", "c", "mio"}));
        mine.setPosition(2);
        const qint64 c = idOf(archive, "c");
        QVERIFY((*other)->runNative(QStringLiteral("delete from Titoli where Id = ?"), {c}).ok());
        QVERIFY(mine.refreshRow(u"Id", c).ok());
        QCOMPARE(visible(mine, QStringLiteral("Descrizione")), QStringList({"a", "bb", "mio"}));
        QCOMPARE(mine.asString(u"Descrizione"), QStringLiteral("mio"));
        QVERIFY(!mine.isBookmarkValid(onC));
        // Removing the filter shows the rows in the query's order, the refreshed ones included.
        QVERIFY(mine.setFilter(QString()).ok());
        QCOMPARE(visible(mine, QStringLiteral("Descrizione")),
                 QStringList({"a", "bb", "d", "mio"}));
    }

    void refreshingByAValueReadsTheRowsThatLeftItToo()
    {
        FreshArchive archive;
        addTitles(archive, {"x", "x", "y"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by Descrizione"));
        QVERIFY(ds.open().ok());
        archive.native(QStringLiteral("update Titoli set Descrizione = case Id when 2 then 'y' "
                                      "else 'x' end where Id in (2, 3)"));
        addTitles(archive, {"x"});
        QVERIFY(ds.refreshRows(u"Id", u"Descrizione", QStringLiteral("X")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Id")), QStringList({"1", "3", "4", "2"}));
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")), QStringList({"x", "x", "x", "y"}));
    }

    void refreshWithoutAKnownOrderReadsEverythingAgain()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by lower(Descrizione) desc"));
        QVERIFY(ds.open().ok());
        ds.last();
        archive.native(
            QStringLiteral("update Titoli set Descrizione = 'z' where Descrizione = 'a'"));
        QVERIFY(ds.refreshRow(u"Id", idOf(archive, "z")).ok());
        QCOMPARE(visible(ds, QStringLiteral("Descrizione")), QStringList({"z", "b"}));
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("z"));
    }

    // The query's order is read from its text as the program's SQL: words inside a literal, a
    // quoted name or a comment are no ORDER BY.
    void orderInLiteralsAndCommentsIsNotTheQueryOrder()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b", "c"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select Id, Descrizione as [order by Id] from Titoli "
                                 "where Descrizione <> 'order by Id' order by Descrizione desc "
                                 "-- prima era: order by Id"));
        QVERIFY(ds.open().ok());
        QCOMPARE(visible(ds, QStringLiteral("order by Id")), QStringList({"c", "b", "a"}));
        const qint64 a = idOf(archive, "a");
        archive.native(QStringLiteral("update Titoli set Descrizione = 'd' where Id = ?"), {a});
        QVERIFY(ds.refreshRow(u"Id", a).ok());
        QCOMPARE(visible(ds, QStringLiteral("order by Id")), QStringList({"d", "c", "b"}));
        QCOMPARE(visible(ds, QStringLiteral("Id")).first(), QString::number(a));
    }

    void longTablesAreFilteredAndSortedInSlices()
    {
        // Enough rows for the filter (first and narrowing keys) and the sort to be shared
        // among threads; the slices must come back in order, the sort stable.
        FreshArchive archive;
        archive.native(QStringLiteral(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 60000) "
            "insert into Titoli (Descrizione) select case i % 3 when 0 then 'Rossi ' "
            "when 1 then 'rosa ' else 'Bianchi ' end || i from n"));
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral(
            "select Id, Descrizione, Id % 7 as Gruppo from Titoli order by Id desc"));
        QVERIFY(ds.open().ok());
        const int id = ds.columnIndex(u"Id");
        const int group = ds.columnIndex(u"Gruppo");
        QVERIFY(ds.setSort(QStringLiteral("Gruppo")).ok());
        for (int r = 1; r < ds.recordCount(); ++r) {
            const qlonglong g = ds.valueAt(r, group).toLongLong();
            const qlonglong previous = ds.valueAt(r - 1, group).toLongLong();
            QVERIFY(g > previous || (g == previous && ds.valueAt(r, id).toLongLong() <
                                                          ds.valueAt(r - 1, id).toLongLong()));
        }
        QVERIFY(ds.setSort(QString()).ok());

        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like 'ro*'")).ok());
        QCOMPARE(ds.recordCount(), 40000);
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like 'ross*'")).ok());
        QCOMPARE(ds.recordCount(), 20000);
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione like 'ross*1'")).ok());
        QCOMPARE(ds.recordCount(), 2000);
        qlonglong previous = std::numeric_limits<qlonglong>::max();
        for (int r = 0; r < ds.recordCount(); ++r) {
            const qlonglong value = ds.valueAt(r, id).toLongLong();
            QVERIFY(value < previous);
            QVERIFY(value % 30 == 21);
            previous = value;
        }
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
