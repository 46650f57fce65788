#pragma once

#include <QVariant>

// How the connection to the SMTP server is protected, as the options row stores it:
//
//   SmtpCriptato false or null                 no protection
//   SmtpCriptato true, SmtpCriptaggioTipo 5    STARTTLS: plain connection upgraded to TLS
//   SmtpCriptato true, any other type          TLS from the first byte (TLS 1.2 or later);
//                                              0 to 4 are the values older archives hold
//
// so that a row written before these three choices keeps its meaning. The options window
// writes these values and the e-mail reads them.
enum class SmtpSecurity
{
    None = 0,        // plain TCP, no TLS at any point
    ImplicitTls = 1, // TLS from the first byte (port 465)
    StartTls = 2,    // plain TCP upgraded with STARTTLS before anything else; no fall-back
};

// The stored STARTTLS type, and the type written for TLS from the first byte.
inline constexpr int kSmtpTypeStartTls = 5;
inline constexpr int kSmtpTypeImplicitTls = 3;

SmtpSecurity smtpSecurity(const QVariant &criptato, const QVariant &criptaggioTipo);

// The port a connection with `security` goes to when `stored` is the port the options hold
// (0 or less for none): the stored one, except that none gives the choice's usual port and 25
// with TLS from the first byte, which no server offers, gives 465.
int smtpEffectivePort(SmtpSecurity security, int stored);
