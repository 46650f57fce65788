#include "migration/tablerows.h"

namespace migration {

int TableRows::column(QStringView name) const
{
    for (qsizetype c = 0; c < columns.size(); ++c) {
        if (QStringView(columns[c]).compare(name, Qt::CaseInsensitive) == 0)
            return int(c);
    }
    return -1;
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
