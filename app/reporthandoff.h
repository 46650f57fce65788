#pragma once

#include "app/datamodule.h"

#include <optional>

// What the report runner needs to print one kind of report.
struct ReportKind
{
    QString file;          // the layout file, beside the runner
    QString landscapeFile; // the landscape layout (the same file for labels)
    QString sql;           // the records to print
    bool filtro = false;   // the runner offers to narrow the records
    bool testata = true;   // the report prints its heading
};

// The seven kinds of report. Kind 5 prints the contact `contactId`; kind 7 the notice recipients
// of `computerName`. Nothing for a kind outside 1-7.
std::optional<ReportKind> reportKind(int kind, qint64 contactId, const QString &computerName);

// Replaces this workstation's TempStampa row with the job of `kind`; the layout paths point into
// `runnerFolder`.
db::Status writePrintJob(Tform_DB &module, int kind, const QString &runnerFolder);

// The report runner's path in `folder`.
QString runnerPath(const QString &folder);
