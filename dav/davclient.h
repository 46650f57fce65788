#pragma once

#include "dav/davsettings.h"
#include "db/core/result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

namespace dav {

struct DavRequest
{
    QByteArray method; // PROPFIND, REPORT, GET, PUT, DELETE, MKCOL, MKCALENDAR
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
};

struct DavResponse
{
    int status = 0;
    QByteArray etag;     // the ETag header, as given (quotes included)
    QByteArray location; // the Location header of a redirect
    QByteArray contentType;
    QByteArray body;
};

// Why a request got no answer the program can use.
enum class DavFailure
{
    None,
    Certificate,    // the server's certificate or its name did not verify
    Authentication, // 401: the user or the password is wrong
    Connection,     // no connection, or it broke
    Timeout,
    Cancelled,
};

// One HTTP conversation with the server through libcurl, over one connection kept open for
// every request of a sync. TLS is always verified; the password goes only with Basic or
// Digest authentication, as the server asks.
class DavClient
{
public:
    explicit DavClient(DavSettings settings);
    ~DavClient();
    DavClient(const DavClient &) = delete;
    DavClient &operator=(const DavClient &) = delete;

    // The server's answer, whatever its status but 401 (refused credentials); a failure to get
    // one is an Italian message naming the server, and `failure()` says which.
    db::Result<DavResponse> send(const DavRequest &request);
    DavFailure failure() const { return m_failure; }

    // Asked now and then while a request runs (from this thread): false ends it.
    void setKeepGoing(std::function<bool()> keepGoing) { m_keepGoing = std::move(keepGoing); }

    const DavSettings &settings() const { return m_settings; }

private:
    DavSettings m_settings;
    void *m_curl = nullptr;
    DavFailure m_failure = DavFailure::None;
    std::function<bool()> m_keepGoing;
    long m_auth = 0; // the authentication the server asked for, once known
};

} // namespace dav
