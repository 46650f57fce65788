#pragma once

struct ReportDefinition;

#include <QtGlobal>

// The contacts' data: the SQL of the contacts' reports.
class ContactStore
{
public:
    // Every contact with addresses and telephones ("Agenda"), and laid out by category.
    static ReportDefinition bookReport();
    static ReportDefinition byCategoryReport();
    // An address label per contact.
    static ReportDefinition labelsReport();
    // The privacy form of contact `contactId`.
    static ReportDefinition privacyFormReport(qint64 contactId);
};
