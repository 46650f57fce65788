#pragma once

#include "tools/stampa/fieldtemplate.h"
#include "tools/stampa/reportdata.h"

#include <QHash>

namespace stampa {

// The placeholders of one record of a report: its columns, the office's data ({ditta.RagSoc})
// and the day of printing ({oggi}). A field the query does not return prints as nothing.
class RecordFields final : public FieldSource
{
public:
    explicit RecordFields(const ReportData &data);

    void setRow(qsizetype row) { m_row = row; }
    QString text(const Placeholder &placeholder) const override;

    // The column of the query a placeholder names; -1 when there is none.
    int column(const Placeholder &placeholder) const
    {
        return m_columns.value(placeholder.key, -1);
    }

private:
    const ReportData &m_data;
    QHash<QString, int> m_columns; // by case-folded name
    QHash<QString, int> m_company; // by "ditta." + case-folded name
    qsizetype m_row = -1;
};

} // namespace stampa
