#pragma once

#include "db/core/result.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <utility>

namespace db {
class Connection;
class DataSet;
} // namespace db

// How one shared data set is read: what it selects when it is made, the column that identifies a
// row and when start-up opens it.
struct SharedDataSet
{
    enum class Kind
    {
        Shared,         // every workstation's rows, read at start-up
        OnDemand,       // read when a window first needs it (SharedDataSets::openOnDemand): the
                        // whole contact list and the whole agenda, which the main window does
                        // not show
        PerWorkstation, // this workstation's rows only, read at start-up by `workstationSql`
    };

    SharedDataSet(QString name_, QString sql_, QString keyColumn_, Kind kind_ = Kind::Shared,
                  QString workstationSql_ = {})
        : name(std::move(name_)), sql(std::move(sql_)), keyColumn(std::move(keyColumn_)),
          kind(kind_), workstationSql(std::move(workstationSql_))
    {
    }

    QString name;
    QString sql;
    // For locating and re-reading a row.
    QString keyColumn;
    Kind kind;
    // PerWorkstation only: the rows whose NomeComputer is this workstation's, bound to the ?.
    QString workstationSql;
};

// The data sets every window shares, each declared by the store of the feature that owns it. The
// registry only lists them, so that start-up reopens them all and a window can open one that
// start-up left closed; the stores keep the objects.
class SharedDataSets
{
public:
    struct Entry
    {
        db::DataSet *dataSet;
        SharedDataSet declaration;
    };

    SharedDataSets(db::Connection &connection, QString computerName)
        : m_connection(connection), m_computerName(std::move(computerName))
    {
    }
    SharedDataSets(const SharedDataSets &) = delete;
    SharedDataSets &operator=(const SharedDataSets &) = delete;

    // The connection every shared data set works on.
    db::Connection &connection() { return m_connection; }
    // This workstation's name in the per-workstation tables.
    QString computerName() const { return m_computerName; }
    void setComputerName(const QString &name) { m_computerName = name; }

    // Names `dataSet`, gives it its SQL and lists it; it leaves the list when it is destroyed.
    void add(db::DataSet &dataSet, const SharedDataSet &declaration);
    // Run by reopen() once every data set is open: a store's own rows for this workstation.
    void addReopenStep(std::function<db::Status(const QString &computerName)> step);

    // In the order they were added.
    const QList<Entry> &entries() const { return m_entries; }
    QList<db::DataSet *> dataSets() const;

    // Closes and reopens every data set: the shared ones first, then the per-workstation ones on
    // this workstation's rows; those read on demand stay closed until a window opens them. Then
    // the stores' steps.
    db::Status reopen();

    // Reads a data set that start-up leaves closed when a window first needs it; an open one stays
    // as it is, with its rows, filter, sort and current row. A failure is shown to the user and
    // returned.
    static db::Status openOnDemand(db::DataSet &dataSet);

private:
    db::Connection &m_connection;
    QString m_computerName;
    QList<Entry> m_entries;
    // The context of the connections that drop a destroyed data set: they go with the registry.
    QObject m_guard;
    QList<std::function<db::Status(const QString &)>> m_reopenSteps;
};
