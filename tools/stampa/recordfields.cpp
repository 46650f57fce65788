#include "tools/stampa/recordfields.h"

#include "common/dates.h"
#include "notices/noticefields.h"

namespace stampa {

RecordFields::RecordFields(const ReportData &data) : m_data(data)
{
    for (qsizetype c = 0; c < data.rows.columns.size(); ++c)
        m_columns.insert(data.rows.columns[c].name.toCaseFolded(), int(c));
    for (qsizetype c = 0; c < data.company.columns.size(); ++c)
        m_company.insert(QStringLiteral("ditta.") + data.company.columns[c].name.toCaseFolded(),
                         int(c));
}

QString RecordFields::text(const Placeholder &placeholder) const
{
    if (const auto c = m_columns.constFind(placeholder.key); c != m_columns.cend()) {
        if (m_row < 0 || m_row >= m_data.rows.rows.size())
            return {};
        const QString value = formatValue(m_data.rows.rows[m_row][*c], m_data.rows.columns[*c].kind,
                                          placeholder.format);
        if (placeholder.format != ValueFormat::WithFields)
            return value;
        return notices::fillNoticeFields(value, [this](const QString &field) {
            return text(Placeholder{field, field.toCaseFolded(), ValueFormat::Auto});
        });
    }
    if (const auto c = m_company.constFind(placeholder.key); c != m_company.cend()) {
        if (m_data.company.rows.isEmpty())
            return {};
        return formatValue(m_data.company.rows[0][*c], m_data.company.columns[*c].kind,
                           placeholder.format);
    }
    if (placeholder.key == u"oggi")
        return ScriviDataItaliana(m_data.date);
    return {};
}

} // namespace stampa
