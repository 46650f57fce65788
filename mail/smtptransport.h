#pragma once

#include "mail/smtpsettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace mail {

// Why a message did not go out, for the messages and for the command line's exit status.
enum class SendFailure
{
    None,
    Certificate,    // the server's certificate or its name did not verify
    Tls,            // no secure connection (handshake, STARTTLS not offered)
    Authentication, // the server refused the credentials, or offers no way to give them
    Connection,     // no connection, or the connection broke
    Timeout,        // no connection or no reply within the time allowed
    Refused,        // the server refused the sender, a recipient or the message
    Cancelled,
    File, // an attachment could not be read
};

struct SendResult
{
    SendFailure failure = SendFailure::None;
    QString reason; // Italian, naming the cause; never the password

    bool sent() const { return failure == SendFailure::None; }
};

// A connection to the server for a run of submissions: libcurl keeps it open from one to the
// next (one handshake and one AUTH for many messages) and opens it again when it was lost or
// closed after a refusal. QUIT goes out when it is destroyed.
class SmtpConnection
{
public:
    explicit SmtpConnection(const SmtpSettings &settings);
    ~SmtpConnection();
    SmtpConnection(const SmtpConnection &) = delete;
    SmtpConnection &operator=(const SmtpConnection &) = delete;

    // As submitMessage(), on this connection.
    SendResult submit(const QByteArray &sender, const QList<QByteArray> &recipients,
                      const QByteArray &message, const std::function<bool()> &keepGoing = {});

private:
    SmtpSettings m_settings;
    void *m_curl = nullptr; // the libcurl handle, kept out of this header
};

// One submission: connects with the settings' security (certificate and host name verified,
// TLS 1.2 or later; STARTTLS that must succeed before anything else is said), authenticates
// when the settings ask, sends `message` from `sender` to `recipients` and disconnects.
// A message the server accepted after DATA is sent, whatever happens at QUIT.
// `keepGoing` is asked now and then (from this thread); false cancels the submission while the
// message has not started to go (after that it finishes).
SendResult submitMessage(const SmtpSettings &settings, const QByteArray &sender,
                         const QList<QByteArray> &recipients, const QByteArray &message,
                         const std::function<bool()> &keepGoing = {});

} // namespace mail
