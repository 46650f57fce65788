#pragma once

#include "db/core/archiveconnection.h"
#include "db/datasets/dataset.h"

#include <QObject>

// The program's one data module: the connection to the archive and the shared data sets that
// every window shows and edits. A window never opens its own copy of a shared table, so the
// row made current in one window is the row the next window works on.
class Tform_DB : public QObject
{
    Q_OBJECT

    // First, so that it outlives the data sets that work on it.
    db::ArchiveConnection m_connection;
    QString m_computerName;

public:
    // Reads the computer name; the connection opens later, during start-up.
    explicit Tform_DB(QObject *parent = nullptr);
    ~Tform_DB() override;

    db::ArchiveConnection &Connessione() { return m_connection; }
    // This workstation's name in the per-workstation tables.
    QString computerName() const { return m_computerName; }
    void setComputerName(const QString &name) { m_computerName = name; }

    // Named and given their SQL by the table in shareddatasets.cpp.
    db::DataSet TableCercaContatti{m_connection};
    db::DataSet TableCategorie{m_connection};
    db::DataSet TableComuni{m_connection};
    db::DataSet TableContatti{m_connection};
    db::DataSet TablePersonalizzazioni{m_connection};
    db::DataSet TableDitta{m_connection};
    db::DataSet TableOpzioni{m_connection};
    db::DataSet TableIndirizzi{m_connection};
    db::DataSet TableProfessioni{m_connection};
    db::DataSet TableGriglie{m_connection};
    db::DataSet TableTitoli{m_connection};
    db::DataSet TableNazioni{m_connection};
    db::DataSet TableProvince{m_connection};
    db::DataSet TableRegioni{m_connection};
    db::DataSet TablePagamenti{m_connection};
    db::DataSet TableTipoPagamenti{m_connection};
    db::DataSet TableTempStampa{m_connection};
    db::DataSet TableTipoEsportazioniCrystalReport{m_connection};
    db::DataSet TableCalendario{m_connection};
    db::DataSet TableTipologiaCalendario{m_connection};
    db::DataSet TableSesso{m_connection};
    db::DataSet TableAvvisi{m_connection};
    db::DataSet TableTempAvvisi{m_connection};
    db::DataSet TableTempAvvisiContatti{m_connection};

    // The text a grid shows for a memo: its first 100 characters; empty for null.
    static QString ConvertiMemo(const QVariant &memo);

    // The contact list query.
    static QString contactListSql();

    // Every shared data set, in the order of the table in shareddatasets.cpp.
    QList<db::DataSet *> sharedDataSets();

    // Closes and reopens every shared data set (those read on demand stay closed until a window
    // opens them), the per-workstation ones on this workstation's rows, and gives the
    // workstation its TempAvvisi row when it has none.
    db::Status reopenSharedDataSets();

    // Reads a data set that start-up leaves closed (the contact list, the agenda) when a window
    // first needs it; an open one stays as it is, with its rows, filter, sort and current row.
    // A failure is shown to the user and returned.
    db::Status openOnDemand(db::DataSet &dataSet);
};
