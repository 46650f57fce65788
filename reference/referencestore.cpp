#include "reference/referencestore.h"

#include "reference/capfinder.h"
#include "reference/lookuptables.h"
#include "session/shareddatasets.h"

ReferenceStore::ReferenceStore(SharedDataSets &shared)
    : TableCategorie(shared.connection()), TableComuni(shared.connection()),
      TableIndirizzi(shared.connection()), TableProfessioni(shared.connection()),
      TableTitoli(shared.connection()), TableNazioni(shared.connection()),
      TableProvince(shared.connection()), TableRegioni(shared.connection()),
      TableTipoPagamenti(shared.connection()), TableTipologiaCalendario(shared.connection()),
      TableSesso(shared.connection())
{
    const auto add = [&shared](db::DataSet &dataSet, const char *name, const char *sql,
                               const char *key) {
        shared.add(dataSet,
                   {QString::fromLatin1(name), QString::fromLatin1(sql), QString::fromLatin1(key)});
    };
    add(TableCategorie, "TableCategorie", "select * from Categorie order by descrizione", "Id");
    add(TableComuni, "TableComuni", "select * from Comuni order by Comune", "ID");
    add(TableIndirizzi, "TableIndirizzi",
        "SELECT top 1 id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, Indirizzo, "
        "Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON Indirizzi.Comune_ID = Comuni.ID order "
        "by Frazione, Indirizzo",
        "id_cap");
    add(TableProfessioni, "TableProfessioni", "select * from Professioni order by descrizione",
        "Id");
    add(TableTitoli, "TableTitoli", "select * from Titoli", "Id");
    add(TableNazioni, "TableNazioni", "select * from Nazioni order by DENOMINAZ", "IDNazione");
    // In the order of what the lists show, not of the ISTAT codes.
    add(TableProvince, "TableProvince", "select * from Province order by PROVINCIA", "CODPROV");
    add(TableRegioni, "TableRegioni", "select * from regioni", "IDRegione");
    add(TableTipoPagamenti, "TableTipoPagamenti",
        "select * from TipoPagamenti order by descrizione", "Id");
    add(TableTipologiaCalendario, "TableTipologiaCalendario",
        "SELECT * from TipologiaCalendario order by Descrizione", "Id");
    add(TableSesso, "TableSesso", "select * from Sesso", "Sesso");
}

db::Result<std::optional<QString>> ReferenceStore::knownCap(const QString &comune)
{
    db::Connection &connection = TableIndirizzi.connection();
    db::Result<db::RowSet> codes = connection.run(capShortcutSql(comune));
    if (!codes)
        return codes.error();
    if (codes->rows.size() == 1)
        return std::optional<QString>(codes->value(0, u"CAP").toString());
    if (codes->rows.isEmpty()) {
        // The street archive lists only the towns with several codes: a town it does not know
        // has the one code of its municipality row.
        db::Result<db::RowSet> own = connection.runNative(
            QStringLiteral("SELECT Cap FROM Comuni WHERE Comune = ?"), {comune});
        if (own && own->rows.size() == 1 && !own->value(0, u"Cap").toString().isEmpty())
            return std::optional<QString>(own->value(0, u"Cap").toString());
    }
    return std::optional<QString>();
}

db::Status ReferenceStore::showStreets(const QString &comune)
{
    TableIndirizzi.close();
    // A new query starts unfiltered and in its own order.
    (void)TableIndirizzi.setFilter(QString());
    (void)TableIndirizzi.setSort(QString());
    TableIndirizzi.setSql(streetListSql(comune));
    return TableIndirizzi.open();
}

db::Result<QList<qint64>> ReferenceStore::municipalitiesWithCap(const QString &prefix)
{
    db::Result<db::RowSet> found = TableIndirizzi.connection().runNative(
        QStringLiteral("SELECT DISTINCT Comune_ID FROM Indirizzi WHERE Comune_ID IS NOT NULL "
                       "AND substr(Cap, 1, ?) = ? ORDER BY Comune_ID"),
        {qlonglong(prefix.size()), prefix});
    if (!found)
        return found.error();
    QList<qint64> ids;
    ids.reserve(found->rows.size());
    for (const QVariantList &row : std::as_const(found->rows))
        ids.append(row.value(0).toLongLong());
    return ids;
}

db::Result<bool> ReferenceStore::isCapOf(qint64 id, const QString &cap)
{
    db::Result<db::RowSet> found = TableComuni.connection().runNative(
        QStringLiteral("SELECT 1 FROM Comuni WHERE ID = ? AND Cap = ? UNION ALL "
                       "SELECT 1 FROM Indirizzi WHERE Comune_ID = ? AND Cap = ?"),
        {id, cap, id, cap});
    if (!found)
        return found.error();
    return !found->rows.isEmpty();
}

db::Result<bool> ReferenceStore::anyTelephonePrefix()
{
    db::Result<db::RowSet> found = TableComuni.connection().runNative(
        QStringLiteral("SELECT 1 FROM Comuni WHERE PrefNaz IS NOT NULL AND PrefNaz <> '' LIMIT 1"));
    if (!found)
        return found.error();
    return !found->rows.isEmpty();
}

db::Status ReferenceStore::followCategoryColour(qint64 id, qint64 colour)
{
    db::Result<db::RowSet> done =
        TableCategorie.connection().run(reference::followCategoryColourSql(), {colour, id});
    return done ? db::Status() : db::Status(done.error());
}

db::Status ReferenceStore::clearCategoryColour(qint64 id)
{
    db::Result<db::RowSet> cleared =
        TableCategorie.connection().run(reference::clearCategoryColourSql(), {id});
    return cleared ? db::Status() : db::Status(cleared.error());
}
