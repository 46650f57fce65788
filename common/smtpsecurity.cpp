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

int smtpEffectivePort(SmtpSecurity security, int stored)
{
    switch (security) {
    case SmtpSecurity::None:
        return stored > 0 ? stored : 25;
    case SmtpSecurity::ImplicitTls:
        return stored > 0 && stored != 25 ? stored : 465;
    case SmtpSecurity::StartTls:
        return stored > 0 ? stored : 587;
    }
    return 25;
}
