#include "net/curltrust.h"

#include <QFile>

#include <curl/curl.h>

#include <mutex>

namespace {

// The authorities the system trusts, from the file libcurl uses by default; read once.
QByteArray systemAuthorities(CURL *curl)
{
    static const QByteArray bundle = [curl] {
        char *path = nullptr;
        if (curl_easy_getinfo(curl, CURLINFO_CAINFO, &path) != CURLE_OK || !path)
            return QByteArray();
        QFile file(QString::fromLocal8Bit(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bundle;
}

} // namespace

void initialiseCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool applyTrust(void *handle, const QString &caFile, const QByteArray &officeCa, QString *error)
{
    auto *curl = static_cast<CURL *>(handle);
    if (officeCa.isEmpty()) {
        if (!caFile.isEmpty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.toLocal8Bit().constData());
        return true;
    }
    // libcurl takes one list of authorities: the system's, the run's file and the office's.
    QByteArray trusted = systemAuthorities(curl);
    if (!caFile.isEmpty()) {
        QFile file(caFile);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error =
                    QStringLiteral("il file delle autorità \"%1\" non si può leggere").arg(caFile);
            return false;
        }
        trusted += '\n' + file.readAll();
    }
    trusted += '\n' + officeCa + '\n';
    curl_blob blob{trusted.data(), size_t(trusted.size()), CURL_BLOB_COPY};
    curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
    return true;
}
