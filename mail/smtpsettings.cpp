#include "mail/smtpsettings.h"

#include "common/officeca.h"
#include "db/core/connection.h"

namespace mail {

int SmtpSettings::effectivePort() const
{
    return smtpEffectivePort(security, port);
}

SmtpSettings smtpSettingsFromRow(const std::function<QVariant(const QString &column)> &value)
{
    SmtpSettings s;
    s.host = value(QStringLiteral("SmtpHost")).toString().trimmed();
    s.sender = value(QStringLiteral("SmtpMittenteEmail")).toString().trimmed();
    s.port = value(QStringLiteral("SmtpPorta")).toInt();
    s.userName = value(QStringLiteral("SmtpUserName")).toString();
    s.password = value(QStringLiteral("SmtpPassword")).toString();
    s.authenticate = value(QStringLiteral("SmtpAutenticazioneServer")).toBool();
    s.security = smtpSecurity(value(QStringLiteral("SmtpCriptato")),
                              value(QStringLiteral("SmtpCriptaggioTipo")));
    return s;
}

db::Result<SmtpSettings> readSmtpSettings(db::Connection &connection)
{
    db::Result<db::RowSet> rows = connection.run(u"select * from opzioni");
    if (!rows)
        return rows.error();
    if (rows->rows.isEmpty())
        return SmtpSettings{};
    const db::RowSet &set = *rows;
    SmtpSettings settings = smtpSettingsFromRow([&set](const QString &column) {
        return set.columnIndex(column) < 0 ? QVariant() : set.value(0, column);
    });
    db::Result<QByteArray> office = readOfficeCa(connection);
    if (!office)
        return office.error();
    settings.officeCa = *office;
    return settings;
}

QString missingSetting(const SmtpSettings &settings)
{
    if (settings.host.isEmpty())
        return QStringLiteral(
            "Per inviare email è necessario impostare l' Host SMTP tra le opzioni del programma !");
    if (settings.sender.isEmpty())
        return QStringLiteral("Per inviare email è necessario impostare il mittente delle email "
                              "tra le opzioni del programma !");
    return {};
}

} // namespace mail
