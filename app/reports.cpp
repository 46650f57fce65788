#include "app/reports.h"

#include "agenda/agendastore.h"
#include "contacts/contactstore.h"
#include "notices/noticestore.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"

std::optional<ReportDefinition> reportDefinition(ReportKind kind, qint64 contactId,
                                                 const AgendaListing &agenda)
{
    switch (kind) {
    case ReportKind::ContactBook:
        return ContactStore::bookReport();
    case ReportKind::ContactsByCategory:
        return ContactStore::byCategoryReport();
    case ReportKind::ContactLabels:
        return ContactStore::labelsReport();
    case ReportKind::CompanyLabels:
        return OptionsStore::companyLabelsReport();
    case ReportKind::PrivacyForm:
        return ContactStore::privacyFormReport(contactId);
    case ReportKind::Payments:
        return PaymentStore::paymentsReport();
    case ReportKind::Notices:
        return NoticeStore::noticesReport();
    case ReportKind::Appointments:
        return AgendaStore::appointmentsReport(agenda);
    }
    return std::nullopt;
}
