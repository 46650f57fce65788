#include "common/smtpsecurity.h"

SmtpSecurity smtpSecurity(const QVariant &criptato, const QVariant &criptaggioTipo)
{
    if (!criptato.isValid() || !criptato.toBool())
        return SmtpSecurity::None;
    bool isNumber = false;
    const qlonglong type = criptaggioTipo.toLongLong(&isNumber);
    return criptaggioTipo.isValid() && isNumber && type == kSmtpTypeStartTls
               ? SmtpSecurity::StartTls
               : SmtpSecurity::ImplicitTls;
}
