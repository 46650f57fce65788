#include "migration/tablerows.h"

namespace migration {

int TableRows::column(QStringView name) const
{
    if (const auto found = m_found.constFind(name.toString()); found != m_found.cend())
        return *found;
    int index = -1;
    for (qsizetype c = 0; c < columns.size() && index < 0; ++c) {
        if (QStringView(columns[c]).compare(name, Qt::CaseInsensitive) == 0)
            index = int(c);
    }
    m_found.insert(name.toString(), index);
    return index;
}

qint64 TableRows::highest(QStringView name) const
{
    const int c = column(name);
    qint64 top = 0;
    for (qsizetype r = 0; c >= 0 && r < rows.size(); ++r)
        top = std::max(top, rows[r][c].toLongLong());
    return top;
}

QVariant TableRows::value(qsizetype row, QStringView name) const
{
    const int c = column(name);
    return c < 0 ? QVariant() : rows[row][c];
}

void TableRows::set(qsizetype row, QStringView name, const QVariant &value)
{
    const int c = column(name);
    if (c >= 0)
        rows[row][c] = value;
}

QString nameKey(const QString &text)
{
    const QString decomposed = text.trimmed().normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            key.append(c);
    }
    return key.toCaseFolded();
}

} // namespace migration
