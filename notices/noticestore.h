#pragma once

#include "db/datasets/dataset.h"

#include <QStringList>

class SharedDataSets;
struct ReportDefinition;

// The notices: the templates, this workstation's notice text and recipients, the SQL they are
// read with and the operations the notice windows run on them.
class NoticeStore
{
public:
    // Declares the data sets into `shared`, and the start-up step that gives this workstation
    // its notice row.
    explicit NoticeStore(SharedDataSets &shared);
    NoticeStore(const NoticeStore &) = delete;
    NoticeStore &operator=(const NoticeStore &) = delete;

    // The templates, by description.
    db::DataSet TableAvvisi;
    // This workstation's recipients and its notice text (one row).
    db::DataSet TableTempAvvisiContatti;
    db::DataSet TableTempAvvisi;

    // A new notice row for this workstation, not written yet: start-up gives the workstation
    // one when it has none, and should it have gone since, the text gets a new one.
    db::Status appendWorkstationRow();
    // Writes the notice text; a failure is shown to the user and returned.
    db::Status saveText();

    // A new template of one blank description, so that it can be stored before the editor
    // asks for a real one; not written yet, nothing added on a failure.
    db::Status appendTemplate();
    // Writes the new template and lands on it; a failure is shown to the user, the row is
    // dropped and the failure returned.
    db::Status storeTemplate();
    // Writes the current template and stays on it; a failure is shown to the user and
    // returned.
    db::Status saveTemplate();
    // Deletes the current template; a failure is shown to the user and returned.
    db::Status removeTemplate();

    // The contacts the filter step's query (notices::composeNoticeQuery) selects.
    db::Result<db::RowSet> findContacts(const QString &sql);
    // This workstation's notice text as stored, and its recipients (notices/recipients.h).
    db::Result<QString> storedText();
    db::Status writeRecipients(const QList<qint64> &contacts);

    // Deletes the notice rows `computerName` left: start-up runs it before the data sets open.
    static db::Status clearScratchRows(db::Connection &connection, const QString &computerName);
    // What clearScratchRows() runs, each with the workstation's name bound to the ?.
    static QStringList scratchRowsSql();

    // The notice for each recipient of the workstation whose print job it is (its name is bound
    // to the query's ?): another workstation may be printing its own notice at the same moment.
    static ReportDefinition noticesReport();

private:
    SharedDataSets &m_shared;
};
