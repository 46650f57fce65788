#include "dav/davclient.h"

#include "net/curltrust.h"

#include <curl/curl.h>

#include <algorithm>

namespace dav {

namespace {

struct Exchange
{
    DavResponse response;
    const std::function<bool()> *keepGoing = nullptr;
};

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *e = static_cast<Exchange *>(user);
    e->response.body.append(data, qsizetype(size * count));
    return size * count;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *e = static_cast<Exchange *>(user);
    const QByteArray line = QByteArray(data, qsizetype(size * count)).trimmed();
    // A new status line (after a 100 Continue or an authentication round) starts over.
    if (line.startsWith("HTTP/")) {
        e->response.etag.clear();
        e->response.location.clear();
        e->response.contentType.clear();
    }
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) {
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "etag")
            e->response.etag = value;
        else if (name == "location")
            e->response.location = value;
        else if (name == "content-type")
            e->response.contentType = value;
    }
    return size * count;
}

int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto *e = static_cast<Exchange *>(user);
    return (e->keepGoing && *e->keepGoing && !(*e->keepGoing)()) ? 1 : 0;
}

} // namespace

DavClient::DavClient(DavSettings settings) : m_settings(std::move(settings))
{
    initialiseCurl();
}

DavClient::~DavClient()
{
    if (m_curl)
        curl_easy_cleanup(static_cast<CURL *>(m_curl));
}

db::Result<DavResponse> DavClient::send(const DavRequest &request)
{
    m_failure = DavFailure::None;
    const QString host = request.url.host();
    const auto failed = [&](DavFailure why, const QString &message) -> db::Result<DavResponse> {
        m_failure = why;
        return db::Error{message};
    };
    if (!request.url.isValid() ||
        (request.url.scheme() != u"https" && request.url.scheme() != u"http") || host.isEmpty())
        return failed(DavFailure::Connection,
                      QStringLiteral("\"%1\" non è un indirizzo di server valido (http:// o "
                                     "https://).")
                          .arg(request.url.toString()));
    if (!m_curl)
        m_curl = curl_easy_init();
    auto *curl = static_cast<CURL *>(m_curl);
    if (!curl)
        return failed(DavFailure::Connection,
                      QStringLiteral("Impossibile preparare la connessione."));
    curl_easy_reset(curl);

    Exchange e;
    e.keepGoing = &m_keepGoing;
    char error[CURL_ERROR_SIZE] = {};
    const QByteArray url = request.url.toEncoded();
    const QByteArray user = m_settings.user.toUtf8();
    QByteArray password = m_settings.password.toUtf8();
    const long timeout = std::max(1, m_settings.timeoutSeconds);
    curl_slist *headers = nullptr;
    for (const auto &[name, value] : request.headers)
        headers = curl_slist_append(headers, (name + ": " + value).constData());
    if (!request.body.isEmpty() && request.method != "PUT")
        headers = curl_slist_append(headers, "Content-Type: application/xml; charset=utf-8");
    // No "Expect: 100-continue" round before a body: one answer per request.
    headers = curl_slist_append(headers, "Expect:");

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    QString trustError;
    if (!applyTrust(curl, m_settings.caFile, m_settings.officeCa, &trustError)) {
        curl_slist_free_all(headers);
        return failed(DavFailure::Certificate,
                      QStringLiteral("Certificato non valido per %1: %2.").arg(host, trustError));
    }
    if (!m_settings.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
        // Until the server has said which it takes, both; then that one alone, so that Basic
        // goes with the first request instead of after a refusal.
        curl_easy_setopt(curl, CURLOPT_HTTPAUTH,
                         m_auth ? m_auth : long(CURLAUTH_BASIC | CURLAUTH_DIGEST));
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &e);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &e);
    // The body from memory: libcurl sends it again by itself after the authentication round.
    if (!request.body.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.constData());
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
    // No answer within the time: given up (a whole transfer of many contacts may take longer,
    // as long as it moves).
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeout);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &e);

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    password.fill('\0');
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (!m_auth && code == CURLE_OK && status != 401 && !m_settings.user.isEmpty()) {
        long offered = 0;
        curl_easy_getinfo(curl, CURLINFO_HTTPAUTH_AVAIL, &offered);
        if (offered & CURLAUTH_DIGEST)
            m_auth = CURLAUTH_DIGEST;
        else if (offered & CURLAUTH_BASIC)
            m_auth = CURLAUTH_BASIC;
    }
    switch (code) {
    case CURLE_OK:
        break;
    case CURLE_ABORTED_BY_CALLBACK:
        return failed(DavFailure::Cancelled, QStringLiteral("Sincronizzazione annullata."));
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
        return failed(DavFailure::Certificate, QStringLiteral("Certificato non valido per %1: %2")
                                                   .arg(host, QString::fromUtf8(error)));
    case CURLE_OPERATION_TIMEDOUT:
        return failed(DavFailure::Timeout,
                      QStringLiteral("Il server %1 non ha risposto entro %2 secondi.")
                          .arg(host)
                          .arg(timeout));
    case CURLE_COULDNT_RESOLVE_HOST:
        return failed(DavFailure::Connection,
                      QStringLiteral("Connessione non riuscita: il server %1 non è stato trovato "
                                     "(controllare l'indirizzo).")
                          .arg(host));
    case CURLE_COULDNT_CONNECT:
        return failed(DavFailure::Connection,
                      QStringLiteral("Connessione con %1 sulla porta %2 non riuscita: a "
                                     "quell'indirizzo non risponde nessun server.")
                          .arg(host)
                          .arg(request.url.port(request.url.scheme() == u"https" ? 443 : 80)));
    case CURLE_SSL_CONNECT_ERROR:
        return failed(DavFailure::Connection,
                      QStringLiteral("Connessione protetta con %1 non riuscita (il server usa "
                                     "https a quell'indirizzo?): %2")
                          .arg(host, QString::fromUtf8(error)));
    default:
        return failed(DavFailure::Connection,
                      QStringLiteral("Connessione con %1 interrotta (%2).")
                          .arg(host, QString::fromUtf8(error).isEmpty()
                                         ? QString::fromUtf8(curl_easy_strerror(code))
                                         : QString::fromUtf8(error)));
    }
    e.response.status = int(status);
    if (status == 401)
        return failed(DavFailure::Authentication,
                      QStringLiteral("Il server %1 non accetta l'utente «%2» con questa "
                                     "password.")
                          .arg(host, m_settings.user));
    return std::move(e.response);
}

} // namespace dav
