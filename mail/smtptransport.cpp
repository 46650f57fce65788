#include "mail/smtptransport.h"

#include "net/curltrust.h"

#include <QUrl>

#include <curl/curl.h>

#include <cctype>
#include <cstring>

// libcurl holds the SMTP dialogue and the TLS channel (OpenSSL): certificate and host name
// verification on, STARTTLS that cannot silently fall back to plain text, SASL PLAIN and LOGIN,
// time-outs and a progress callback that can cancel. This file only sets it up and turns its
// outcome into an Italian reason.

namespace mail {

namespace {

// The dialogue as far as the reasons need it: the last command verb sent (never its argument,
// which may hold credentials) and the server's last reply line before any QUIT (libcurl says
// QUIT itself after a refusal, and its "221" would hide the refusal).
struct Dialogue
{
    QByteArray lastCommand;
    QByteArray lastReply;
    bool quitting = false;
};

int onDebug(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    auto *d = static_cast<Dialogue *>(user);
    if (!d) // the QUIT of a connection closed between submissions
        return 0;
    const QByteArray line = QByteArray(data, qsizetype(qMin<size_t>(size, 300))).trimmed();
    if (type == CURLINFO_HEADER_OUT) {
        static const QList<QByteArray> verbs = {"EHLO", "HELO", "STARTTLS", "AUTH",
                                                "MAIL", "RCPT", "DATA"};
        const qsizetype blank = line.indexOf(' ');
        const QByteArray verb = (blank < 0 ? line : line.left(blank)).toUpper();
        if (verb == "QUIT")
            d->quitting = true;
        else if (verbs.contains(verb))
            d->lastCommand = verb;
    } else if (type == CURLINFO_HEADER_IN && !line.isEmpty() && !d->quitting) {
        d->lastReply = line.left(200);
    }
    return 0;
}

struct Upload
{
    const QByteArray *data;
    qsizetype offset = 0;
};

size_t onRead(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const size_t n = qMin<size_t>(size * count, size_t(u->data->size() - u->offset));
    std::memcpy(buffer, u->data->constData() + u->offset, n);
    u->offset += qsizetype(n);
    return n;
}

struct Cancelling
{
    const std::function<bool()> *keepGoing;
    const Upload *upload;
};

// A cancel stops a submission only until the message's bytes start to go (the server has
// answered DATA): from then on the server may take it, and it finishes (within the time-outs),
// so that a message reported as not sent was never received.
int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *c = static_cast<const Cancelling *>(user);
    if (!c || c->upload->offset > 0 || !*c->keepGoing)
        return 0;
    return (*c->keepGoing)() ? 0 : 1;
}

QString replyText(const Dialogue &d)
{
    return d.lastReply.isEmpty() ? QString()
                                 : QStringLiteral(" (%1)").arg(QString::fromUtf8(d.lastReply));
}

QString certificateDetail(const char *error)
{
    const QByteArray e = QByteArray(error).toLower();
    if (e.contains("self-signed") || e.contains("self signed"))
        return QStringLiteral(
            "certificato autofirmato, non rilasciato da un'autorità riconosciuta");
    if (e.contains("local issuer") || e.contains("unable to get"))
        return QStringLiteral("rilasciato da un'autorità non riconosciuta");
    if (e.contains("expired"))
        return QStringLiteral("certificato scaduto");
    if (e.contains("subject") || e.contains("match") || e.contains("name"))
        return QStringLiteral("il nome del server non corrisponde al certificato");
    return QString::fromUtf8(error);
}

SendResult failure(SendFailure kind, const QString &reason)
{
    return SendResult{kind, reason};
}

// The server's name as the URL carries it (ASCII, an IPv6 address in brackets), or empty when
// it holds anything a host name cannot, which would change the URL's meaning.
QByteArray urlHost(const QString &host)
{
    if (host.contains(u':')) {
        for (QChar c : host) {
            if (!(c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f') || c == u':' ||
                  c == u'.'))
                return {};
        }
        return '[' + host.toLatin1() + ']';
    }
    const QByteArray ace = QUrl::toAce(host);
    if (ace.isEmpty())
        return {};
    for (char c : ace) {
        if (!(std::isalnum(uchar(c)) || c == '.' || c == '-'))
            return {};
    }
    return ace;
}

SendResult outcome(CURLcode code, const char *error, const Dialogue &d, const SmtpSettings &s)
{
    const QString host = s.host;
    const int port = s.effectivePort();
    switch (code) {
    case CURLE_OK:
        return {};
    case CURLE_ABORTED_BY_CALLBACK:
        return failure(SendFailure::Cancelled, QStringLiteral("invio annullato"));
    case CURLE_PEER_FAILED_VERIFICATION:
        return failure(SendFailure::Certificate, QStringLiteral("certificato non valido per %1: %2")
                                                     .arg(host, certificateDetail(error)));
    case CURLE_SSL_CACERT_BADFILE:
        return failure(
            SendFailure::Certificate,
            QStringLiteral(
                "certificato non valido per %1: il file delle autorità \"%2\" non si può leggere")
                .arg(host, s.caFile));
    case CURLE_USE_SSL_FAILED:
        return failure(
            SendFailure::Tls,
            QStringLiteral("connessione protetta non disponibile: il server %1 non offre STARTTLS; "
                           "nulla è stato inviato")
                .arg(host));
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CERTPROBLEM:
        return failure(SendFailure::Tls,
                       QStringLiteral("connessione protetta con %1 non riuscita (%2)")
                           .arg(host, QString::fromUtf8(error)));
    case CURLE_LOGIN_DENIED:
        return failure(
            SendFailure::Authentication,
            QStringLiteral("autenticazione rifiutata dal server %1%2").arg(host, replyText(d)));
    case CURLE_COULDNT_RESOLVE_HOST:
        return failure(
            SendFailure::Connection,
            QStringLiteral("connessione non riuscita: il server %1 non è stato trovato").arg(host));
    case CURLE_COULDNT_CONNECT:
        return failure(
            SendFailure::Connection,
            QStringLiteral("connessione a %1 sulla porta %2 non riuscita").arg(host).arg(port));
    case CURLE_OPERATION_TIMEDOUT:
        return failure(
            SendFailure::Timeout,
            QStringLiteral("tempo scaduto: il server %1 non ha risposto entro %2 secondi")
                .arg(host)
                .arg(s.timeoutSeconds));
    default:
        break;
    }
    if (d.lastCommand == "AUTH")
        return failure(
            SendFailure::Authentication,
            QStringLiteral("autenticazione rifiutata dal server %1%2").arg(host, replyText(d)));
    if (d.lastCommand == "RCPT")
        return failure(SendFailure::Refused,
                       QStringLiteral("destinatario rifiutato dal server%1").arg(replyText(d)));
    if (d.lastCommand == "MAIL")
        return failure(SendFailure::Refused,
                       QStringLiteral("mittente rifiutato dal server%1").arg(replyText(d)));
    if (d.lastCommand == "DATA")
        return failure(SendFailure::Refused,
                       QStringLiteral("messaggio rifiutato dal server%1").arg(replyText(d)));
    return failure(SendFailure::Connection, QStringLiteral("connessione con %1 interrotta (%2)%3")
                                                .arg(host, QString::fromUtf8(error), replyText(d)));
}

} // namespace

SmtpConnection::SmtpConnection(const SmtpSettings &settings) : m_settings(settings)
{
    initialiseCurl();
}

SmtpConnection::~SmtpConnection()
{
    // QUIT goes out here; what the server does with it changes nothing.
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
}

SendResult SmtpConnection::submit(const QByteArray &sender, const QList<QByteArray> &recipients,
                                  const QByteArray &message, const std::function<bool()> &keepGoing)
{
    const SmtpSettings &settings = m_settings;
    const QByteArray host = urlHost(settings.host);
    if (host.isEmpty())
        return failure(
            SendFailure::Connection,
            QStringLiteral("connessione non riuscita: \"%1\" non è un nome di server valido")
                .arg(settings.host));
    if (!m_curl)
        m_curl = curl_easy_init();
    auto *curl = static_cast<CURL *>(m_curl);
    if (!curl)
        return failure(SendFailure::Connection,
                       QStringLiteral("impossibile preparare la connessione"));

    const bool implicitTls = settings.security == SmtpSecurity::ImplicitTls;
    const QByteArray url = QByteArray(implicitTls ? "smtps://" : "smtp://") + host + ':' +
                           QByteArray::number(settings.effectivePort());
    const QByteArray from = '<' + sender + '>';
    const QByteArray user = settings.userName.toUtf8();
    QByteArray password = settings.password.toUtf8();

    curl_slist *to = nullptr;
    for (const QByteArray &r : recipients)
        to = curl_slist_append(to, ('<' + r + '>').constData());

    Dialogue dialogue;
    Upload upload{&message};
    const Cancelling cancelling{&keepGoing, &upload};
    char error[CURL_ERROR_SIZE] = {};
    const long timeout = qMax(1, settings.timeoutSeconds);

    // libcurl copies the texts it is given, so none of them has to outlive this call.
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (QString untrusted; !applyTrust(curl, settings.caFile, settings.officeCa, &untrusted)) {
        curl_slist_free_all(to);
        return failure(SendFailure::Certificate, QStringLiteral("certificato non valido per %1: %2")
                                                     .arg(QString::fromUtf8(host), untrusted));
    }
    curl_easy_setopt(
        curl, CURLOPT_USE_SSL,
        long(settings.security == SmtpSecurity::None ? CURLUSESSL_NONE : CURLUSESSL_ALL));
    if (settings.authenticate) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, to);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, onRead);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancelling);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, onDebug);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &dialogue);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, nullptr);
    curl_easy_setopt(curl, CURLOPT_READDATA, nullptr);
    curl_slist_free_all(to);
    password.fill('\0');
    return outcome(code, error, dialogue, settings);
}

SendResult submitMessage(const SmtpSettings &settings, const QByteArray &sender,
                         const QList<QByteArray> &recipients, const QByteArray &message,
                         const std::function<bool()> &keepGoing)
{
    SmtpConnection connection(settings);
    return connection.submit(sender, recipients, message, keepGoing);
}

} // namespace mail
