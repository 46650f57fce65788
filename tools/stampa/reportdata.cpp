#include "tools/stampa/reportdata.h"

#include "db/core/datetimes.h"

namespace stampa {

namespace {

// opzioni.TipoEsportazione names one of the archive's export types; its extension is the
// export format proposed first.
QString exportExtension(db::Connection &connection, const db::RowSet &options)
{
    const QVariant kind = options.value(0, u"TipoEsportazione");
    if (kind.isValid()) {
        db::Result<db::RowSet> types = connection.runNative(
            QStringLiteral("SELECT Estensione FROM TipoEsportazioniCrystalReport WHERE Numero = ?"),
            {kind.toLongLong()});
        if (types && !types->rows.isEmpty()) {
            const QString extension = types->value(0, u"Estensione").toString().trimmed().toLower();
            if (!extension.isEmpty())
                return extension;
        }
    }
    QString extension = options.value(0, u"EstensioneEsportazione").toString().trimmed().toLower();
    extension.remove(u'.');
    return extension.isEmpty() ? QStringLiteral("pdf") : extension;
}

} // namespace

db::Result<ReportData> loadReportData(db::Connection &connection, const QString &query,
                                      const QVariantList &values)
{
    db::Result<db::RowSet> rows = connection.run(query, values);
    if (!rows)
        return db::Error{
            QStringLiteral("La query della stampa non è riuscita: %1").arg(rows.message())};
    db::Result<ReportData> data = loadOfficeData(connection);
    if (data)
        data->rows = std::move(*rows);
    return data;
}

db::Result<ReportData> loadOfficeData(db::Connection &connection)
{
    db::Result<db::RowSet> company = connection.run(u"select * from ditta");
    if (!company)
        return company.error();
    db::Result<db::RowSet> options = connection.run(u"select * from opzioni");
    if (!options)
        return options.error();

    ReportData data;
    data.company = std::move(*company);
    data.date = db::clock::today();
    const QByteArray logo = data.company.value(0, u"Logo").toByteArray();
    if (!logo.isEmpty())
        data.logo.loadFromData(logo);
    data.smallLabels = options->value(0, u"EtichettePiccole").toBool();
    data.exportExtension = exportExtension(connection, *options);
    return data;
}

db::RowSet rowsContaining(const db::RowSet &rows, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return rows;
    db::RowSet found;
    found.columns = rows.columns;
    for (const QVariantList &row : rows.rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            const QVariant &value = row[c];
            if (value.metaType().id() == QMetaType::QString &&
                value.toString().contains(wanted, Qt::CaseInsensitive)) {
                found.rows.append(row);
                break;
            }
        }
    }
    return found;
}

} // namespace stampa
