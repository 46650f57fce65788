#pragma once

#include <QList>
#include <QString>

class Tform_DB;
namespace db {
class DataSet;
}

// One shared data set of the data module.
struct SharedDataSet
{
    db::DataSet Tform_DB::*member;
    QString name;
    // What the data set selects when the data module is made.
    QString sql;
    // The column that identifies a row, for locating and re-reading it.
    QString keyColumn;
    // Per-workstation data sets only: start-up reopens them on the rows whose NomeComputer is
    // this workstation's, bound to the ?; empty for the shared ones.
    QString workstationSql;
    // Read when a window first needs it (Tform_DB::openOnDemand) rather than at start-up: the
    // whole contact list and the whole agenda, which the main window does not show.
    bool onDemand = false;
};

// Every shared data set, in the order start-up opens them: the shared ones first, then those
// that hold per-workstation rows.
const QList<SharedDataSet> &sharedDataSetTable();
