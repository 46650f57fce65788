#pragma once

#include "common/smtpsecurity.h"
#include "db/core/result.h"

#include <QString>
#include <QVariant>

#include <functional>

namespace db {
class Connection;
}

namespace mail {

using ::SmtpSecurity;

// The SMTP settings of the options row, and what a run adds to them.
struct SmtpSettings
{
    QString host;
    int port = 0; // 0: the default port of the security choice
    SmtpSecurity security = SmtpSecurity::None;
    bool authenticate = false;
    QString userName;
    QString password; // never written to a log or a message
    QString sender;   // SmtpMittenteEmail

    QString caFile;          // a certificate authority trusted for this run, beside the system's
    QByteArray officeCa;     // the office's own authorities (PEM), from the archive
    int timeoutSeconds = 30; // connecting, and waiting for each reply

    // The port to connect to: the stored one, 25 when none; with TLS from the first byte a
    // port of 25 becomes 465, with STARTTLS no port becomes 587.
    int effectivePort() const;
};

// The settings from the columns of an options row, read through `value` (a null or missing
// column reads as an invalid QVariant).
SmtpSettings smtpSettingsFromRow(const std::function<QVariant(const QString &column)> &value);

// The settings of the archive's options row; an archive without one has empty settings.
db::Result<SmtpSettings> readSmtpSettings(db::Connection &connection);

// The message that says which required setting is missing (the server, the sender), or an
// empty text when nothing is.
QString missingSetting(const SmtpSettings &settings);

} // namespace mail
