#include "common/filtersuspension.h"

void FilterSuspension::suspend()
{
    if (m_suspended)
        return;
    m_kept.clear();
    for (db::DataSet *ds : std::as_const(m_dataSets)) {
        m_kept.append(ds->filter());
        if (!ds->filter().isEmpty())
            (void)ds->setFilter(QString());
    }
    m_suspended = true;
}

void FilterSuspension::resume()
{
    if (!m_suspended)
        return;
    m_suspended = false;
    for (qsizetype i = 0; i < m_dataSets.size(); ++i) {
        // A filter set meanwhile by someone else wins: it is the newer wish.
        if (!m_kept[i].isEmpty() && m_dataSets[i]->filter().isEmpty())
            (void)m_dataSets[i]->setFilter(m_kept[i]);
    }
}
