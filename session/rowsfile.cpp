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

db::Result<db::RowSet> readRowsFile(const QString &path)
{
    const auto refused = [&path](const QString &why) {
        return db::Error{
            QStringLiteral("Il file dei dati %1 non si può usare: %2.").arg(path, why)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(file.errorString());
    if (file.size() > kLargestFile)
        return refused(QStringLiteral("è troppo grande"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(QStringLiteral("non è un file di dati del programma"));
    const QJsonObject root = document.object();
    if (root.value(u"calvetraRows").toInt() != 1 || !root.value(u"columns").isArray() ||
        !root.value(u"rows").isArray())
        return refused(QStringLiteral("non è un file di dati del programma"));
    db::RowSet rows;
    for (const QJsonValue &name : root.value(u"columns").toArray()) {
        if (!name.isString() || name.toString().isEmpty())
            return refused(QStringLiteral("un nome di colonna non è valido"));
        rows.columns.append(db::Column{name.toString(), db::FieldKind::Unknown, {}, {}});
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
