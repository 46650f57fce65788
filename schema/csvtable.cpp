#include "schema/csvtable.h"

namespace schema {

db::Result<CsvTable> CsvTable::parse(QStringView text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
                record.append(field);
                records.append(record);
            }
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        return db::Error{QStringLiteral("Tabella CSV non valida: virgolette non chiuse.")};
    if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    if (records.isEmpty())
        return db::Error{QStringLiteral("Tabella CSV vuota.")};

    CsvTable table;
    const QStringList header = records.takeFirst();
    for (int c = 0; c < header.size(); ++c)
        table.m_columns.insert(header[c], c);
    for (qsizetype r = 0; r < records.size(); ++r) {
        if (records[r].size() != header.size())
            return db::Error{
                QStringLiteral("Tabella CSV non valida: la riga %1 ha %2 campi invece di %3.")
                    .arg(r + 2)
                    .arg(records[r].size())
                    .arg(header.size())};
    }
    table.m_rows = std::move(records);
    return table;
}

QString CsvTable::value(qsizetype row, const QString &column) const
{
    const int c = m_columns.value(column, -1);
    if (c < 0 || row < 0 || row >= m_rows.size())
        return {};
    return m_rows[row][c];
}

} // namespace schema
