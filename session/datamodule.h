#pragma once

#include "db/core/archiveconnection.h"
#include "db/datasets/dataset.h"
#include "session/gridlayouts.h"
#include "session/shareddatasets.h"

#include <QObject>

// The workstation's session: the one connection to the archive, the workstation's name, its grid
// layouts and its print job, and the registry of the shared data sets that the features' stores
// declare. A window never opens its own copy of a shared table, so the row made current in one
// window is the row the next window works on.
class Tform_DB : public QObject
{
    Q_OBJECT

    // First, so that it outlives the data sets that work on it.
    db::ArchiveConnection m_connection;
    // Before the data sets, so that it sees them go.
    SharedDataSets m_shared;

public:
    // Reads the computer name; the connection opens later, during start-up.
    explicit Tform_DB(QObject *parent = nullptr);
    ~Tform_DB() override;

    db::ArchiveConnection &Connessione() { return m_connection; }
    // This workstation's name in the per-workstation tables.
    QString computerName() const { return m_shared.computerName(); }
    void setComputerName(const QString &name) { m_shared.setComputerName(name); }

    // The workstation's grid layouts, for the list windows.
    GridLayouts gridLayouts()
    {
        return {TableGriglie, [this] { return m_shared.computerName(); }};
    }

    // The registry the features' stores declare their shared data sets into.
    SharedDataSets &shared() { return m_shared; }

    // This workstation's grid layouts and its print job (writePrintJob()), declared in the
    // constructor.
    db::DataSet TableGriglie{m_connection};
    db::DataSet TableTempStampa{m_connection};
    // This workstation's print job, its name bound to the ?: what start-up reads into
    // TableTempStampa and what writePrintJob() replaces.
    static QString printJobSql();

    // Every shared data set, those of the stores included, in the order they were declared.
    QList<db::DataSet *> sharedDataSets() const { return m_shared.dataSets(); }

    // Closes and reopens every shared data set (those read on demand stay closed until a window
    // opens them), the per-workstation ones on this workstation's rows, then the stores' own
    // steps (SharedDataSets::reopen()).
    db::Status reopenSharedDataSets();
};
