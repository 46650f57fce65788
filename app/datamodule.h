#pragma once

#include "db/archiveconnection.h"
#include "db/dataset.h"

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

    db::DataSet TableCercaContatti;
    db::DataSet TableCategorie;
    db::DataSet TableComuni;
    db::DataSet TableContatti;
    db::DataSet TablePersonalizzazioni;
    db::DataSet TableDitta;
    db::DataSet TableOpzioni;
    db::DataSet TableIndirizzi;
    db::DataSet TableProfessioni;
    db::DataSet TableGriglie;
    db::DataSet TableTitoli;
    db::DataSet TableNazioni;
    db::DataSet TableProvince;
    db::DataSet TableRegioni;
    db::DataSet TablePagamenti;
    db::DataSet TableTipoPagamenti;
    db::DataSet TableTempStampa;
    db::DataSet TableTipoEsportazioniCrystalReport;
    db::DataSet TableCalendario;
    db::DataSet TableTipologiaCalendario;
    db::DataSet TableSesso;
    db::DataSet TableAvvisi;
    db::DataSet TableTempAvvisi;
    db::DataSet TableTempAvvisiContatti;

    // The text a grid shows for a memo: its first 100 characters; empty for null.
    static QString ConvertiMemo(const QVariant &memo);

    // The contact list query.
    static QString contactListSql();

    // Every shared data set, in the order the start-up sequence closes them.
    QList<db::DataSet *> sharedDataSets();
};

// The workstation's name: the host name cut to 15 characters, "SenzaNome" when there is none.
QString readComputerName();
