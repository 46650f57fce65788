#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// How the connection to the SMTP server is protected, as the options row stores it:
//
//   SmtpCriptato false or null                 no protection
//   SmtpCriptato true, SmtpCriptaggioTipo 5    STARTTLS: plain connection upgraded to TLS
//   SmtpCriptato true, any other type          TLS from the first byte (TLS 1.2 or later);
//                                              0 to 4 are the values older archives hold
//
// so that a row written before these three choices keeps its meaning.
enum class SmtpSecurity
{
    None = 0,
    ImplicitTls = 1,
    StartTls = 2,
};

// The stored STARTTLS type, and the type written for TLS from the first byte.
inline constexpr int kSmtpTypeStartTls = 5;
inline constexpr int kSmtpTypeImplicitTls = 3;

SmtpSecurity smtpSecurity(const QVariant &criptato, const QVariant &criptaggioTipo);

// The captions of the choices, in the order of the enum.
QStringList smtpSecurityCaptions();

// The columns to write when the user picks `security`: SmtpCriptato, and SmtpCriptaggioTipo
// unless the choice is no protection (the type is then left as it is).
QList<std::pair<QString, QVariant>> smtpSecurityColumns(SmtpSecurity security);

// The port the server usually listens on for `security` (465, 587), or 0 for none.
int smtpPresetPort(SmtpSecurity security);

// The port field after the user picked `security`: the choice's port when the field is empty
// or holds the other choice's port, else the field as it was.
QString smtpPortAfterChoice(SmtpSecurity security, const QString &port);
