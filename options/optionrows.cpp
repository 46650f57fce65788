#include "options/optionrows.h"

#include <algorithm>

namespace {

bool isEmptyValue(const QVariant &value)
{
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().isEmpty()) ||
           (value.typeId() == QMetaType::QByteArray && value.toByteArray().isEmpty());
}

bool sameValue(const QVariant &stored, const QVariant &changed)
{
    if (isEmptyValue(stored) || isEmptyValue(changed))
        return isEmptyValue(stored) && isEmptyValue(changed);
    switch (stored.typeId()) {
    case QMetaType::Bool:
        return changed.typeId() == QMetaType::Bool && stored.toBool() == changed.toBool();
    case QMetaType::LongLong:
    case QMetaType::Int: {
        bool isNumber = false;
        const qlonglong number = changed.toLongLong(&isNumber);
        return isNumber && changed.typeId() != QMetaType::QString && number == stored.toLongLong();
    }
    case QMetaType::QByteArray:
        return changed.typeId() == QMetaType::QByteArray &&
               stored.toByteArray() == changed.toByteArray();
    default:
        return stored.typeId() == changed.typeId() && stored == changed;
    }
}

db::Status writeRow(db::DataSet &row, const RowChanges &changes,
                    const QList<std::pair<QString, QVariant>> &newRow)
{
    QList<std::pair<QString, QVariant>> real;
    for (const auto &[column, value] : changes.columns()) {
        if (row.isEmpty() || !sameValue(row.value(column), value))
            real.append({column, value});
    }
    if (real.isEmpty())
        return {};
    if (row.isEmpty()) {
        if (db::Status appended = row.append(); !appended)
            return appended;
        real = newRow + real;
    }
    for (const auto &[column, value] : std::as_const(real)) {
        if (db::Status set = row.setValue(column, value); !set)
            return set;
    }
    return row.post();
}

} // namespace

void RowChanges::set(const QString &column, const QVariant &value)
{
    for (auto &[name, old] : m_columns) {
        if (name == column) {
            old = value;
            return;
        }
    }
    m_columns.append({column, value});
}

void RowChanges::remove(const QString &column)
{
    m_columns.removeIf([&](const auto &entry) { return entry.first == column; });
}

bool RowChanges::contains(const QString &column) const
{
    return std::any_of(m_columns.begin(), m_columns.end(),
                       [&](const auto &entry) { return entry.first == column; });
}

QVariant RowChanges::value(const QString &column) const
{
    for (const auto &[name, value] : m_columns) {
        if (name == column)
            return value;
    }
    return {};
}

db::Status saveOptionRows(db::DataSet &options, const RowChanges &optionChanges,
                          db::DataSet &company, const RowChanges &companyChanges,
                          const std::function<db::Status()> &alsoWrite)
{
    const db::Status written = [&]() -> db::Status {
        db::Transaction transaction(options.connection());
        if (!transaction.started())
            return transaction.started();
        if (db::Status done = writeRow(options, optionChanges, {{QStringLiteral("Id"), 1}}); !done)
            return done;
        if (db::Status done = writeRow(company, companyChanges, {}); !done)
            return done;
        if (alsoWrite) {
            if (db::Status done = alsoWrite(); !done)
                return done;
        }
        return transaction.commit();
    }();
    if (written)
        return {};
    // The transaction has been rolled back: a row posted before the failure is not in the
    // archive, whatever its data set believes.
    for (db::DataSet *row : {&options, &company}) {
        row->cancel();
        (void)row->requery();
    }
    return written;
}
