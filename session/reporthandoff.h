#pragma once

#include "db/core/result.h"

#include <QString>
#include <QVariantList>

#include <utility>

class Tform_DB;

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
    Appointments = 8,       // the appointments the agenda lists, in its order
};

// What the report runner needs to print one kind of report. The feature whose data a report
// prints gives its definition.
struct ReportDefinition
{
    // The stores' definitions are brace lists of the first values.
    ReportDefinition(QString layout, QString landscapeLayout, QString query, bool search = false,
                     bool heading = true, QVariantList queryValues = {})
        : file(std::move(layout)), landscapeFile(std::move(landscapeLayout)), sql(std::move(query)),
          filtro(search), testata(heading), values(std::move(queryValues))
    {
    }

    QString file;          // the layout file, beside the runner
    QString landscapeFile; // the landscape layout (the same file for labels)
    QString sql;           // the records to print
    bool filtro = false;   // the runner offers to narrow the records
    bool testata = true;   // the report prints its heading
    // Bound to the ?s of sql in order (printquery.h); without them a ? is the workstation.
    QVariantList values;
};

// Replaces this workstation's TempStampa row with the job of printing `report`; the layout paths
// point into the layout folder of the program in `runnerFolder` (layoutFolder()). With
// `askPrinter` the runner asks for the printer first (the option StampanteDefault unset).
db::Status writePrintJob(Tform_DB &module, const ReportDefinition &report, bool askPrinter,
                         const QString &runnerFolder);

// The report runner's path in `folder`.
QString runnerPath(const QString &folder);
