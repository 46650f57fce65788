#include "common/officeca.h"

#include "db/core/connection.h"

namespace {

// Plain SQL that every engine reads alike, made when first needed: an archive of any age gets
// it without an update. One row, key 1.
const char kCreate[] = "CREATE TABLE IF NOT EXISTS CertificatiUfficio "
                       "(Id INTEGER PRIMARY KEY, Pem TEXT NOT NULL)";
const char kRead[] = "SELECT Pem FROM CertificatiUfficio WHERE Id = 1";
const char kDelete[] = "DELETE FROM CertificatiUfficio WHERE Id = 1";
const char kInsert[] = "INSERT INTO CertificatiUfficio (Id, Pem) VALUES (1, ?)";

const QByteArray kBegin("-----BEGIN CERTIFICATE-----");
const QByteArray kEnd("-----END CERTIFICATE-----");

db::Status ensureTable(db::Connection &connection)
{
    db::Result<db::RowSet> made = connection.runNative(QString::fromLatin1(kCreate));
    if (!made)
        return made.error();
    return {};
}

} // namespace

db::Result<QByteArray> readOfficeCa(db::Connection &connection)
{
    // Read without writing anything: the tools open the archive to read only.
    db::Result<QStringList> tables = connection.tableNames();
    if (!tables)
        return tables.error();
    if (!tables->contains(QStringLiteral("CertificatiUfficio"), Qt::CaseInsensitive))
        return QByteArray();
    db::Result<db::RowSet> read = connection.runNative(QString::fromLatin1(kRead));
    if (!read)
        return read.error();
    if (read->rows.isEmpty())
        return QByteArray();
    return read->rows.first().value(0).toString().toLatin1();
}

db::Status writeOfficeCa(db::Connection &connection, const QByteArray &pem)
{
    if (db::Status made = ensureTable(connection); !made)
        return made;
    if (db::Result<db::RowSet> gone = connection.runNative(QString::fromLatin1(kDelete)); !gone)
        return gone.error();
    if (pem.trimmed().isEmpty())
        return {};
    if (db::Result<db::RowSet> put =
            connection.runNative(QString::fromLatin1(kInsert), {QString::fromLatin1(pem)});
        !put)
        return put.error();
    return {};
}

db::Result<int> officeCaCertificates(const QByteArray &pem)
{
    if (pem.contains("PRIVATE KEY-----"))
        return db::Error{QStringLiteral("Il file contiene una chiave privata: scegliere il file "
                                        "con il solo certificato dell'autorità.")};
    int count = 0;
    qsizetype from = 0;
    for (qsizetype begin = pem.indexOf(kBegin); begin >= 0; begin = pem.indexOf(kBegin, from)) {
        const qsizetype body = begin + kBegin.size();
        const qsizetype end = pem.indexOf(kEnd, body);
        if (end < 0)
            return db::Error{QStringLiteral("Un certificato del file è incompleto.")};
        QByteArray base64 = pem.mid(body, end - body);
        base64.replace('\r', "").replace('\n', "").replace(' ', "").replace('\t', "");
        const QByteArray::FromBase64Result der = QByteArray::fromBase64Encoding(
            base64, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
        // A certificate is a DER sequence.
        if (!der || der.decoded.size() < 16 || der.decoded.at(0) != 0x30)
            return db::Error{QStringLiteral("Un certificato del file non è leggibile.")};
        ++count;
        from = end + kEnd.size();
    }
    if (count == 0)
        return db::Error{QStringLiteral("Il file non contiene certificati in formato PEM "
                                        "(«-----BEGIN CERTIFICATE-----»).")};
    return count;
}
