#include "migration/referencemerge.h"

#include <QHash>
#include <QSet>

namespace migration {

namespace {

using KeyMap = QHash<qint64, qint64>;

// Adds the national rows of a small keyed list that the office lacks; returns where each
// national key ends up.
KeyMap mergeKeyed(TableRows &office, const TableRows &national, QStringView keyColumn,
                  QStringView nameColumn, qint64 *added,
                  const std::function<void(QVariantList &)> &remap = {})
{
    QSet<qint64> used;
    qint64 highest = 0;
    QHash<QString, qint64> byName;
    for (qsizetype r = 0; r < office.rows.size(); ++r) {
        const qint64 key = office.value(r, keyColumn).toLongLong();
        used.insert(key);
        highest = std::max(highest, key);
        const QString name = nameKey(office.value(r, nameColumn).toString());
        if (!name.isEmpty() && !byName.contains(name))
            byName.insert(name, key);
    }
    KeyMap map;
    const int keyIndex = national.column(keyColumn);
    for (qsizetype r = 0; r < national.rows.size(); ++r) {
        const qint64 key = national.value(r, keyColumn).toLongLong();
        const QString name = nameKey(national.value(r, nameColumn).toString());
        if (const auto same = byName.constFind(name); !name.isEmpty() && same != byName.cend()) {
            map.insert(key, *same);
            continue;
        }
        const qint64 placed = used.contains(key) ? highest + 1 : key;
        used.insert(placed);
        highest = std::max(highest, placed);
        QVariantList row = national.rows[r];
        row[keyIndex] = placed;
        if (remap)
            remap(row);
        office.rows.append(row);
        map.insert(key, placed);
        ++*added;
    }
    return map;
}

void remapColumn(QVariantList &row, int column, const KeyMap &map)
{
    if (column < 0 || !row[column].isValid())
        return;
    const auto found = map.constFind(row[column].toLongLong());
    if (found != map.cend())
        row[column] = *found;
}

} // namespace

MergeCounts mergeReferenceLists(ReferenceLists &office, const ReferenceLists &national,
                                qint64 firstFreeComune)
{
    MergeCounts counts;
    const KeyMap regioni = mergeKeyed(office.regioni, national.regioni, u"IDRegione",
                                      u"Descrizione", &counts.regioniAdded);
    const int provinceRegione = national.province.column(u"Regione_ID");
    mergeKeyed(office.province, national.province, u"CODPROV", u"PROVINCIA", &counts.provinceAdded,
               [&](QVariantList &row) { remapColumn(row, provinceRegione, regioni); });
    const KeyMap nazioni = mergeKeyed(office.nazioni, national.nazioni, u"IDNazione", u"DENOMINAZ",
                                      &counts.nazioniAdded);

    // The office's municipalities, by ISTAT code and by name and province.
    QHash<QString, qint64> byIstat, byName;
    const auto placeKey = [](const QString &name, const QString &provincia) {
        return nameKey(name) + u'\x1f' + nameKey(provincia);
    };
    for (qsizetype r = 0; r < office.comuni.rows.size(); ++r) {
        const qint64 key = office.comuni.value(r, u"ID").toLongLong();
        const QString istat = office.comuni.value(r, u"COD_ISTAT").toString().trimmed();
        if (!istat.isEmpty())
            byIstat.insert(istat, key);
        byName.insert(placeKey(office.comuni.value(r, u"Comune").toString(),
                               office.comuni.value(r, u"Provincia").toString()),
                      key);
    }
    KeyMap comuni;
    qint64 next = firstFreeComune;
    const TableRows &n = national.comuni;
    const int idColumn = n.column(u"ID"), regione = n.column(u"Regione_ID"),
              nazione = n.column(u"Nazione_ID");
    for (qsizetype r = 0; r < n.rows.size(); ++r) {
        const qint64 key = n.value(r, u"ID").toLongLong();
        const QString istat = n.value(r, u"COD_ISTAT").toString().trimmed();
        auto same = istat.isEmpty() ? byIstat.cend() : byIstat.constFind(istat);
        if (same == byIstat.cend()) {
            same = byName.constFind(
                placeKey(n.value(r, u"Comune").toString(), n.value(r, u"Provincia").toString()));
            if (same == byName.cend()) {
                QVariantList row = n.rows[r];
                row[idColumn] = next;
                remapColumn(row, regione, regioni);
                remapColumn(row, nazione, nazioni);
                office.comuni.rows.append(row);
                comuni.insert(key, next++);
                ++counts.comuniAdded;
                continue;
            }
        }
        comuni.insert(key, *same);
    }

    // The postal codes of the municipalities with several.
    QSet<QString> listed;
    qint64 nextStreet = 1;
    for (qsizetype r = 0; r < office.indirizzi.rows.size(); ++r) {
        listed.insert(office.indirizzi.value(r, u"Comune_ID").toString() + u'\x1f' +
                      office.indirizzi.value(r, u"Cap").toString().trimmed());
        nextStreet = std::max(nextStreet, office.indirizzi.value(r, u"id_cap").toLongLong() + 1);
    }
    const TableRows &s = national.indirizzi;
    const int streetKey = s.column(u"id_cap"), streetComune = s.column(u"Comune_ID");
    for (qsizetype r = 0; r < s.rows.size(); ++r) {
        QVariantList row = s.rows[r];
        remapColumn(row, streetComune, comuni);
        const QString code =
            row[streetComune].toString() + u'\x1f' + s.value(r, u"Cap").toString().trimmed();
        if (listed.contains(code))
            continue;
        listed.insert(code);
        row[streetKey] = nextStreet++;
        office.indirizzi.rows.append(row);
        ++counts.indirizziAdded;
    }
    return counts;
}

} // namespace migration
