#include "options/adminpassword.h"

#include <QByteArray>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <optional>

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kRounds = 600000;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
// A stored value asking for more rounds than this is not one of ours: checking it would keep
// the start-up waiting for minutes.
constexpr qint64 kMostRounds = 10'000'000;

struct StoredKey
{
    int rounds = 0;
    QByteArray salt;
    QByteArray key;
};

std::optional<StoredKey> parse(const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return std::nullopt;
    bool ok = false;
    const qint64 rounds = parts[1].toLongLong(&ok);
    if (!ok || rounds < 1 || rounds > kMostRounds || parts[1] != QString::number(rounds))
        return std::nullopt;
    const auto decode = [](const QString &text) {
        return QByteArray::fromBase64Encoding(text.toLatin1(),
                                              QByteArray::AbortOnBase64DecodingErrors);
    };
    const auto salt = decode(parts[2]);
    const auto key = decode(parts[3]);
    if (!salt || !key || salt.decoded.size() < 8 || key.decoded.size() != kKeyBytes)
        return std::nullopt;
    return StoredKey{int(rounds), salt.decoded, key.decoded};
}

QByteArray derive(const QString &password, const QByteArray &salt, int rounds)
{
    const QByteArray text = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    const int done = PKCS5_PBKDF2_HMAC(text.constData(), int(text.size()),
                                       reinterpret_cast<const unsigned char *>(salt.constData()),
                                       int(salt.size()), rounds, EVP_sha256(), kKeyBytes,
                                       reinterpret_cast<unsigned char *>(key.data()));
    return done == 1 ? key : QByteArray();
}

} // namespace

db::Result<QString> derivePasswordKey(const QString &password)
{
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), kSaltBytes) != 1)
        return db::Error{QStringLiteral("Impossibile proteggere la password: il sistema non "
                                        "fornisce numeri casuali.")};
    const QByteArray key = derive(password, salt, kRounds);
    if (key.isEmpty())
        return db::Error{QStringLiteral("Impossibile proteggere la password.")};
    return QStringList{kScheme, QString::number(kRounds), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(key.toBase64())}
        .join(u'$');
}

bool passwordMatches(const QString &stored, const QString &typed)
{
    const std::optional<StoredKey> parsed = parse(stored);
    if (!parsed)
        return typed == stored;
    const QByteArray key = derive(typed, parsed->salt, parsed->rounds);
    return key.size() == kKeyBytes &&
           CRYPTO_memcmp(key.constData(), parsed->key.constData(), kKeyBytes) == 0;
}

bool isClearPassword(const QString &stored)
{
    return !stored.isEmpty() && !parse(stored);
}

db::Result<bool> hasAdministratorPassword(db::Connection &archive)
{
    const db::Result<db::RowSet> rows =
        archive.runNative(QStringLiteral("SELECT PasswordAmministratore FROM opzioni"));
    if (!rows)
        return rows.error();
    for (const QVariantList &row : rows->rows) {
        if (!row.value(0).toString().isEmpty())
            return true;
    }
    return false;
}

db::Status removeAdministratorPassword(db::Connection &archive)
{
    const db::Result<db::RowSet> done =
        archive.runNative(QStringLiteral("UPDATE opzioni SET PasswordAmministratore = NULL"));
    return done ? db::Status() : done.error();
}
