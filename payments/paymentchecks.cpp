#include "payments/paymentchecks.h"

MissingPaymentField firstMissingPaymentField(const QString &date, const QString &amount,
                                             const QString &description)
{
    if (date.isEmpty())
        return MissingPaymentField::Date;
    if (amount.isEmpty())
        return MissingPaymentField::Amount;
    if (description.isEmpty())
        return MissingPaymentField::Description;
    return MissingPaymentField::None;
}

QString missingPaymentMessage(MissingPaymentField field)
{
    switch (field) {
    case MissingPaymentField::Date:
        return QStringLiteral("Attenzione manca la Data!");
    case MissingPaymentField::Amount:
        return QStringLiteral("Attenzione manca l'Importo!");
    case MissingPaymentField::Description:
        return QStringLiteral("Attenzione manca la Descrizione!");
    case MissingPaymentField::None:
        break;
    }
    return {};
}
