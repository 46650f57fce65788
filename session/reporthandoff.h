#pragma once

#include "session/datamodule.h"

#include <optional>

// The reports the program prints; the numbers are the ones the callers have always used.
enum class ReportKind
{
    ContactBook = 1,        // every contact with addresses and telephones ("Agenda")
    ContactsByCategory = 2, // the same, laid out by category ("Categorie")
    ContactLabels = 3,      // an address label per contact
    CompanyLabels = 4,      // labels with the office's own address
    PrivacyForm = 5,        // the privacy form of the contact being edited
    Payments = 6,           // every payment, by contact
    Notices = 7,            // the notice for each recipient ticked on this workstation
};

// What the report runner needs to print one kind of report.
struct ReportDefinition
{
    QString file;          // the layout file, beside the runner
    QString landscapeFile; // the landscape layout (the same file for labels)
    QString sql;           // the records to print
    bool filtro = false;   // the runner offers to narrow the records
    bool testata = true;   // the report prints its heading
};

// The definition of `kind`. The privacy form prints the contact `contactId`; the notices the
// recipients of the workstation whose job it is (its name is bound to the query's ?). Nothing
// for a value outside the enumeration.
std::optional<ReportDefinition> reportDefinition(ReportKind kind, qint64 contactId);

// Replaces this workstation's TempStampa row with the job of `kind`; the layout paths point into
// the layout folder of the program in `runnerFolder` (layoutFolder()).
db::Status writePrintJob(Tform_DB &module, ReportKind kind, const QString &runnerFolder);

// The report runner's path in `folder`.
QString runnerPath(const QString &folder);
