#include "session/printquery.h"

#include "db/core/datetimes.h"
#include "db/sql/sqltokenizer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace {

const QString kVersionKey = QStringLiteral("calvetraQuery");
const QString kDateTimeKey = QStringLiteral("datetime");

QJsonValue jsonValue(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDateTime)
        return QJsonObject{{kDateTimeKey, db::storedDateTimeText(value.toDateTime())}};
    if (value.metaType().id() == QMetaType::QDate)
        return QJsonObject{
            {kDateTimeKey, db::storedDateTimeText(db::naiveDateTime(value.toDate()))}};
    return QJsonValue::fromVariant(value);
}

std::optional<QVariant> variantValue(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QVariant();
    case QJsonValue::Bool:
        return QVariant(value.toBool());
    case QJsonValue::String:
        return QVariant(value.toString());
    case QJsonValue::Double: {
        const double d = value.toDouble();
        // Whole numbers within a key's range are bound as integers, as they were given.
        if (d >= -9.0e15 && d <= 9.0e15 && d == double(qint64(d)))
            return QVariant(qint64(d));
        return QVariant(d);
    }
    case QJsonValue::Object: {
        // Only the form printQueryText() writes: a date read from anything else is a guess.
        const QJsonObject o = value.toObject();
        const QString text = o.value(kDateTimeKey).toString();
        const QDateTime date = db::parseStoredDateTime(text);
        if (o.size() != 1 || !date.isValid() || db::storedDateTimeText(date) != text)
            return std::nullopt;
        return QVariant(date);
    }
    case QJsonValue::Array:
    case QJsonValue::Undefined:
        break;
    }
    return std::nullopt;
}

qsizetype parameterCount(const QString &sql)
{
    qsizetype parameters = 0;
    for (const db::Token &token : db::tokenizeSql(sql))
        parameters += token.isPunct(u"?") ? 1 : 0;
    return parameters;
}

} // namespace

QString printQueryText(const QString &sql, const QVariantList &values)
{
    if (values.isEmpty())
        return sql;
    QJsonArray bound;
    for (const QVariant &v : values)
        bound.append(jsonValue(v));
    const QJsonObject o{
        {kVersionKey, 1}, {QStringLiteral("sql"), sql}, {QStringLiteral("values"), bound}};
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

db::Result<PrintQuery> readPrintQuery(const QString &text)
{
    // An SQL text never begins with a brace.
    if (!text.trimmed().startsWith(u'{'))
        return PrintQuery{text, {}, false};
    const auto invalid = [](const QString &why) {
        return db::Error{QStringLiteral("La query della stampa non è valida: %1.").arg(why)};
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return invalid(QStringLiteral("non è un oggetto JSON"));
    const QJsonObject o = document.object();
    if (o.value(kVersionKey).toInt() != 1)
        return invalid(QStringLiteral("manca \"%1\": 1").arg(kVersionKey));
    PrintQuery query;
    query.ownValues = true;
    query.sql = o.value(QStringLiteral("sql")).toString();
    if (query.sql.trimmed().isEmpty())
        return invalid(QStringLiteral("manca il testo SQL"));
    const QJsonValue values = o.value(QStringLiteral("values"));
    if (!values.isArray())
        return invalid(QStringLiteral("mancano i valori"));
    for (const QJsonValue &v : values.toArray()) {
        const std::optional<QVariant> value = variantValue(v);
        if (!value)
            return invalid(
                QStringLiteral("il valore %1 non si può usare").arg(query.values.size() + 1));
        query.values.append(*value);
    }
    if (const qsizetype parameters = parameterCount(query.sql); parameters != query.values.size())
        return invalid(
            QStringLiteral("ha %1 parametri e %2 valori").arg(parameters).arg(query.values.size()));
    return query;
}
