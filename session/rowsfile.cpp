#include "session/rowsfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A rows file holds what one person's copy lists: far less than this.
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

} // namespace

QByteArray rowsFileText(const db::RowSet &rows)
{
    QJsonArray columns;
    for (const db::Column &c : rows.columns)
        columns.append(c.name);
    QJsonArray values;
    for (const QVariantList &row : rows.rows) {
        QJsonArray line;
        for (const QVariant &v : row)
            line.append(v.isValid() && !v.isNull() ? QJsonValue::fromVariant(v) : QJsonValue());
        values.append(line);
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("calvetraRows"), 1},
                                     {QStringLiteral("columns"), columns},
                                     {QStringLiteral("rows"), values}})
        .toJson(QJsonDocument::Compact);
}

namespace {

db::Error refusal(const QString &name, const QString &why)
{
    return db::Error{QStringLiteral("Il file dei dati %1 non si può usare: %2.").arg(name, why)};
}

} // namespace

db::Result<db::RowSet> readRowsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refusal(path, file.errorString());
    if (file.size() > kLargestFile)
        return refusal(path, QStringLiteral("è troppo grande"));
    return readRowsText(file.readAll(), path);
}

db::Result<db::RowSet> readRowsText(const QByteArray &bytes, const QString &name)
{
    const auto refused = [&name](const QString &why) { return refusal(name, why); };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(QStringLiteral("non è un file di dati del programma"));
    const QJsonObject root = document.object();
    if (root.value(u"calvetraRows").toInt() != 1 || !root.value(u"columns").isArray() ||
        !root.value(u"rows").isArray())
        return refused(QStringLiteral("non è un file di dati del programma"));
    db::RowSet rows;
    for (const QJsonValue &column : root.value(u"columns").toArray()) {
        if (!column.isString() || column.toString().isEmpty())
            return refused(QStringLiteral("un nome di colonna non è valido"));
        rows.columns.append(db::Column{column.toString(), db::FieldKind::Unknown, {}, {}});
    }
    for (const QJsonValue &line : root.value(u"rows").toArray()) {
        if (!line.isArray() || line.toArray().size() != rows.columns.size())
            return refused(QStringLiteral("una riga non ha un valore per colonna"));
        QVariantList row;
        for (const QJsonValue &v : line.toArray()) {
            if (v.isArray() || v.isObject())
                return refused(QStringLiteral("un valore non è un testo né un numero"));
            row.append(v.isNull() ? QVariant() : v.toVariant());
        }
        rows.rows.append(row);
    }
    return rows;
}
