#pragma once

#include <QString>

// The first thing a payment lacks, checked in this order: date, amount, description.
enum class MissingPaymentField
{
    None,
    Date,
    Amount,
    Description
};

MissingPaymentField firstMissingPaymentField(const QString &date, const QString &amount,
                                             const QString &description);

// "Attenzione manca la Data!" and the others; empty for None.
QString missingPaymentMessage(MissingPaymentField field);
