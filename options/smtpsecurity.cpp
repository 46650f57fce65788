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
    // 25 is plain SMTP's port: with TLS from the first byte the connection goes to 465.
    const bool plainPort = security == SmtpSecurity::ImplicitTls && trimmed == u"25";
    return trimmed.isEmpty() || trimmed == QString::number(other) || plainPort
               ? QString::number(preset)
               : port;
}
