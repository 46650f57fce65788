#include "session/shareddatasets.h"

#include "common/dialogs.h"
#include "db/datasets/dataset.h"

void SharedDataSets::add(db::DataSet &dataSet, const SharedDataSet &declaration)
{
    dataSet.setObjectName(declaration.name);
    dataSet.setSql(declaration.sql);
    m_entries.append({&dataSet, declaration});
    QObject::connect(&dataSet, &QObject::destroyed, &m_guard, [this, gone = &dataSet] {
        m_entries.removeIf([gone](const Entry &e) { return e.dataSet == gone; });
    });
}

void SharedDataSets::addReopenStep(std::function<db::Status(const QString &)> step)
{
    m_reopenSteps.append(std::move(step));
}

QList<db::DataSet *> SharedDataSets::dataSets() const
{
    QList<db::DataSet *> all;
    for (const Entry &e : m_entries)
        all.append(e.dataSet);
    return all;
}

db::Status SharedDataSets::reopen()
{
    for (const Entry &e : m_entries)
        e.dataSet->close();
    for (const bool perWorkstation : {false, true}) {
        for (const Entry &e : m_entries) {
            const SharedDataSet &d = e.declaration;
            if ((d.kind == SharedDataSet::Kind::PerWorkstation) != perWorkstation ||
                d.kind == SharedDataSet::Kind::OnDemand)
                continue;
            if (perWorkstation)
                e.dataSet->setSql(d.workstationSql, {m_computerName});
            if (db::Status opened = e.dataSet->open(); !opened)
                return opened;
        }
    }
    for (const auto &step : m_reopenSteps) {
        if (db::Status done = step(m_computerName); !done)
            return done;
    }
    return {};
}

db::Status SharedDataSets::openOnDemand(db::DataSet &dataSet)
{
    if (dataSet.isOpen())
        return {};
    db::Status opened = dataSet.open();
    if (!opened)
        dialogs().error(opened.message());
    return opened;
}
