#pragma once

#include "db/datasets/dataset.h"

class SharedDataSets;
struct ReportDefinition;

// The payments: the shared data set of the contact being edited, the SQL it is read with and the
// operations the payment windows run on it.
class PaymentStore
{
public:
    // Declares TablePagamenti into `shared`.
    explicit PaymentStore(SharedDataSets &shared);
    PaymentStore(const PaymentStore &) = delete;
    PaymentStore &operator=(const PaymentStore &) = delete;

    // The payments of the contact being edited, newest first.
    db::DataSet TablePagamenti;

    // What TablePagamenti selects for one contact (bound to the ?).
    static QString contactPaymentsSql();
    // Reads the payments of contact `contactId` into TablePagamenti.
    db::Status showContact(const QVariant &contactId);

    // A new payment of contact `contactId`, dated today, not written yet.
    db::Status append(const QVariant &contactId);
    // Writes the current payment; a failure is shown to the user and returned.
    db::Status save();
    // Deletes the current payment; a failure is shown to the user and returned.
    db::Status remove();

    // Every payment, by contact.
    static ReportDefinition paymentsReport();
};
