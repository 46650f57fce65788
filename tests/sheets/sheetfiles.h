#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Spreadsheet files made, and read back, by Python's csv module and Debian's python3-openpyxl
// (see sheetfiles.py): writers and readers nobody here wrote. On failure the test fails and the
// result is empty.
class SheetFiles
{
public:
    // The output of sheetfiles.py with `arguments`, `input` on its standard input.
    QByteArray run(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess python;
        // Debian's Python modules load only under Debian's own interpreter.
        python.start(QStringLiteral("/usr/bin/python3"),
                     QStringList{QStringLiteral(CALVETRA_TEST_DATA "/sheets/sheetfiles.py")} +
                         arguments);
        python.write(input);
        python.closeWriteChannel();
        if (!python.waitForFinished(120000) || python.exitCode() != 0) {
            QTest::qFail(python.readAllStandardError().constData(), __FILE__, __LINE__);
            return {};
        }
        return python.readAllStandardOutput();
    }

    // The bytes of a CSV file of `rows` written by the csv module.
    QByteArray csv(const QList<QStringList> &rows, const QString &encoding,
                   const QString &delimiter, const QString &lineEnd)
    {
        QJsonArray table;
        for (const QStringList &row : rows)
            table.append(QJsonArray::fromStringList(row));
        const QString path = m_folder.filePath(QStringLiteral("tabella.csv"));
        run({QStringLiteral("csv"), path, encoding, delimiter, lineEnd},
            QJsonDocument(table).toJson());
        return bytesOf(path);
    }

    // The bytes of the workbook `kind` of sheetfiles.py.
    QByteArray xlsx(const QString &kind)
    {
        const QString path = m_folder.filePath(kind + QStringLiteral(".xlsx"));
        run({QStringLiteral("xlsx"), path, kind});
        return bytesOf(path);
    }

    // The rows the csv module reads from `bytes` (';', UTF-8 with or without byte-order mark).
    QList<QStringList> readCsv(const QByteArray &bytes)
    {
        const QString path = m_folder.filePath(QStringLiteral("scritto.csv"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        file.close();
        QList<QStringList> rows;
        const QJsonArray table =
            QJsonDocument::fromJson(run({QStringLiteral("readcsv"), path})).array();
        for (const QJsonValue &row : table) {
            QStringList cells;
            for (const QJsonValue &cell : row.toArray())
                cells.append(cell.toString());
            rows.append(cells);
        }
        return rows;
    }

    // What openpyxl reads from the .xlsx file at `path`: the sheets' names, the first sheet's
    // rows of cells (type, value, bold, number format), its column widths and frozen panes.
    QJsonObject readXlsx(const QString &path)
    {
        return QJsonDocument::fromJson(run({QStringLiteral("readxlsx"), path})).object();
    }

    QString folder() const { return m_folder.path(); }

private:
    static QByteArray bytesOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_folder;
};
