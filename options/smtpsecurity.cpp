#include "options/smtpsecurity.h"

QStringList smtpSecurityCaptions()
{
    return {QStringLiteral("Nessuna"), QStringLiteral("SSL/TLS (porta 465)"),
            QStringLiteral("STARTTLS (porta 587)")};
}

QList<std::pair<QString, QVariant>> smtpSecurityColumns(SmtpSecurity security)
{
    switch (security) {
    case SmtpSecurity::None:
        return {{QStringLiteral("SmtpCriptato"), false}};
    case SmtpSecurity::ImplicitTls:
        return {{QStringLiteral("SmtpCriptato"), true},
                {QStringLiteral("SmtpCriptaggioTipo"), qlonglong(kSmtpTypeImplicitTls)}};
    case SmtpSecurity::StartTls:
        return {{QStringLiteral("SmtpCriptato"), true},
                {QStringLiteral("SmtpCriptaggioTipo"), qlonglong(kSmtpTypeStartTls)}};
    }
    return {};
}

int smtpPresetPort(SmtpSecurity security)
{
    switch (security) {
    case SmtpSecurity::ImplicitTls:
        return 465;
    case SmtpSecurity::StartTls:
        return 587;
    case SmtpSecurity::None:
        break;
    }
    return 0;
}

QString smtpPortAfterChoice(SmtpSecurity security, const QString &port)
{
    const int preset = smtpPresetPort(security);
    if (preset == 0)
        return port;
    const int other = smtpPresetPort(security == SmtpSecurity::StartTls ? SmtpSecurity::ImplicitTls
                                                                        : SmtpSecurity::StartTls);
    const QString trimmed = port.trimmed();
    return trimmed.isEmpty() || trimmed == QString::number(other) ? QString::number(preset) : port;
}
