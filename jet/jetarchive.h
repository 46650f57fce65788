#pragma once

#include "db/core/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

// Reads an archive of the Windows version: a Jet 4 file, through the mdbtools library. Only
// reads: the file is opened read-only and never changed.
namespace jet {

enum class ColumnType
{
    YesNo,
    Byte,
    Integer, // 16 bits
    Long,    // 32 bits, counters included
    Currency,
    Single,
    Double,
    DateTime,
    Binary,
    Text,
    Memo,
    LongBinary, // an OLE column: the stored bytes
    Other       // a kind the program never used: named, not read
};

struct Column
{
    QString name;
    ColumnType type = ColumnType::Other;
    int size = 0; // the declared size of a TEXT column, in characters
    bool counter = false;
};

// Values as the program keeps them: a null as an invalid QVariant, yes/no as bool, whole
// numbers as qint64, CURRENCY, SINGLE and DOUBLE as double, dates as wall-clock QDateTime,
// texts and memos as QString (an empty text stays an empty text), binary columns as QByteArray.
using RowHandler = std::function<bool(const QVariantList &row)>;

class Archive
{
public:
    // Refuses, with a message naming the file, what cannot be read as a Jet 4 archive.
    static db::Result<std::unique_ptr<Archive>> open(const QString &path);
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    QString path() const { return m_path; }
    // The user tables, as the file names them, in the order of its catalogue.
    QStringList tables() const { return m_tables; }

    // How many rows `table` declares.
    db::Result<qint64> rowCount(const QString &table);
    // The columns of `table`, in their stored order.
    db::Result<QList<Column>> columns(const QString &table);
    // Hands every row of `table` to `handler`, in the file's order, until it returns false.
    // Fails, naming the file and the table, when the rows cannot all be read (a damaged or
    // truncated file): the count read must be the count the table declares.
    db::Status readRows(const QString &table, const RowHandler &handler);

private:
    struct Handle;
    Archive(QString path, std::unique_ptr<Handle> handle, QStringList tables);

    QString m_path;
    std::unique_ptr<Handle> m_handle;
    QStringList m_tables;
};

} // namespace jet
