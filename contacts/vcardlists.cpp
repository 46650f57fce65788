#include "contacts/vcardlists.h"

#include "common/colours.h"

namespace vcard {

namespace {

const char *const kTables[] = {"Categorie", "Professioni", "Titoli"};

QString folded(const QString &text)
{
    return text.trimmed().toCaseFolded();
}

} // namespace

db::Result<ImportLists> ImportLists::load(db::Connection &connection)
{
    ImportLists lists;
    for (int t = 0; t < 3; ++t) {
        const bool colours = t == int(List::Categorie);
        const db::Result<db::RowSet> rows =
            connection.runNative(QStringLiteral("SELECT Id, Descrizione%1 FROM %2 ORDER BY Id")
                                     .arg(colours ? QStringLiteral(", ColoreCategoria") : QString(),
                                          QLatin1String(kTables[t])));
        if (!rows)
            return rows.error();
        for (const QVariantList &row : rows->rows) {
            const QString key = folded(row[1].toString());
            if (!key.isEmpty() && !lists.m_rows[t].contains(key))
                lists.m_rows[t].insert(key, {row[0].toLongLong(), colours ? row[2] : QVariant()});
        }
    }
    const db::Result<db::RowSet> towns = connection.runNative(
        QStringLiteral("SELECT ID, Comune, Provincia, Cap FROM Comuni ORDER BY ID"));
    if (!towns)
        return towns.error();
    for (const QVariantList &row : towns->rows) {
        lists.m_municipalities[folded(row[1].toString())].append(
            {row[0].toLongLong(), folded(row[2].toString()), row[3].toString().trimmed()});
    }
    return lists;
}

db::Result<ImportLists::Row> ImportLists::row(db::Connection &connection, List list,
                                              const QString &text)
{
    QHash<QString, Row> &rows = m_rows[int(list)];
    const QString key = folded(text);
    if (const auto found = rows.constFind(key); found != rows.cend())
        return *found;
    const bool category = list == List::Categorie;
    const QString table = QLatin1String(kTables[int(list)]);
    // A new category is white, as one added in its own window.
    const db::Result<db::RowSet> inserted =
        category ? connection.runNative(
                       QStringLiteral("INSERT INTO Categorie (Descrizione, ColoreCategoria) "
                                      "VALUES (?, ?)"),
                       {text.trimmed(), kBianco})
                 : connection.runNative(
                       QStringLiteral("INSERT INTO %1 (Descrizione) VALUES (?)").arg(table),
                       {text.trimmed()});
    if (!inserted)
        return inserted.error();
    const db::Result<db::RowSet> identity = connection.runNative(
        QStringLiteral("SELECT ") + connection.dialect().lastIdentityExpression());
    if (!identity)
        return identity.error();
    if (identity->rows.isEmpty())
        return db::Error{QStringLiteral("Manca la chiave della riga aggiunta a %1.").arg(table)};
    const Row added{identity->rows.first().value(0).toLongLong(),
                    category ? QVariant(kBianco) : QVariant()};
    rows.insert(key, added);
    m_added = true;
    return added;
}

qint64 ImportLists::existing(List list, const QString &text) const
{
    const QHash<QString, Row> &rows = m_rows[int(list)];
    QString key = folded(text);
    if (key.isEmpty())
        return 0;
    if (const auto found = rows.constFind(key); found != rows.cend())
        return found->id;
    // With or without its full stop.
    key = key.endsWith(u'.') ? key.chopped(1) : key + u'.';
    const auto found = rows.constFind(key);
    return found == rows.cend() ? 0 : found->id;
}

qint64 ImportLists::municipality(const QString &name, const QString &region,
                                 const QString &postalCode) const
{
    const QList<Municipality> found = m_municipalities.value(folded(name));
    if (found.isEmpty())
        return 0;
    const QString province = folded(region);
    if (!province.isEmpty()) {
        for (const Municipality &m : found) {
            if (m.province == province)
                return m.id;
        }
    }
    const QString code = postalCode.trimmed();
    if (!code.isEmpty()) {
        for (const Municipality &m : found) {
            if (m.postalCode == code)
                return m.id;
        }
    }
    return found.first().id;
}

} // namespace vcard
