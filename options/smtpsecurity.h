#pragma once

#include "common/smtpsecurity.h"

#include <QList>
#include <QString>
#include <QVariant>

// The captions of the choices, in the order of the enum.
QStringList smtpSecurityCaptions();

// The columns to write when the user picks `security`: SmtpCriptato, and SmtpCriptaggioTipo
// unless the choice is no protection (the type is then left as it is).
QList<std::pair<QString, QVariant>> smtpSecurityColumns(SmtpSecurity security);

// The port the server usually listens on for `security` (465, 587), or 0 for none.
int smtpPresetPort(SmtpSecurity security);

// The port field after the user picked `security`: the choice's port when the field is empty
// or holds the other choice's port (or 25 for TLS from the first byte), else the field as it
// was.
QString smtpPortAfterChoice(SmtpSecurity security, const QString &port);
