#pragma once

#include "agenda/appointmentrows.h"
#include "dav/syncside.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>
#include <QUuid>

namespace dav {

// The appointments as events (the calendar file's, with the same UIDs): an archived appointment
// (Storico) is kept off the phones. A phone can change an event's time, its reminder and its
// title; the title is the appointment's notes after its staff, type and contact, so a new title
// becomes the notes.
class AgendaSide final : public SyncSide
{
public:
    // `zone`: the office's; `now`: when the sync runs.
    AgendaSide(QTimeZone zone, QDateTime now) : m_zone(std::move(zone)), m_now(std::move(now)) {}

    Collection collection() const override { return Collection::Agenda; }
    db::Status load(db::Connection &connection) override;
    QList<qint64> onPhones() const override;
    bool exists(qint64 id) const override { return m_rows.contains(id); }
    bool isOnPhones(qint64 id) const override;
    QString describe(qint64 id) const override;
    QByteArray archiveView(qint64 id) const override;
    QByteArray officeText(qint64 id, const QByteArray &agreed,
                          const QByteArray &view) const override;
    bool same(const QByteArray &a, const QByteArray &b) const override;
    bool readable(const QByteArray &text) const override;
    QString resourceName(qint64 id) const override;
    qint64 match(const QByteArray &server, const QSet<qint64> &linked) const override;
    Outcome merge(const QByteArray &agreed, qint64 id, const QByteArray &view,
                  const QByteArray &server) const override;
    QStringList unstored(qint64, const QByteArray &) const override { return {}; }
    db::Result<qint64> write(db::Connection &connection, qint64 id,
                             const QByteArray &text) override;
    db::Status setOnPhones(db::Connection &connection, qint64 id, bool onPhones) override;

    // The notes of `appointment` that make its title `summary`: what follows its staff, type
    // and contact, or the whole title when it does not start with them.
    static QString noteFromSummary(const agenda::Appointment &appointment, const QString &summary);

private:
    // What the program reads of an event.
    struct Fields
    {
        bool ok = false;
        QDateTime start; // a wall-clock time of the archive
        bool wholeDay = false;
        QDateTime alarm; // UTC; invalid for none
        QString summary;
        QString uid;
    };
    Fields fieldsOf(const QByteArray &text) const;
    Fields archiveFields(const agenda::Appointment &a) const;
    // The office's fields: the archive's where it changed since the agreement, else the agreed.
    Fields officeFields(qint64 id, const Fields &agreed, const QByteArray &view) const;
    QByteArray compose(agenda::Appointment a, const QString &uid) const;

    QTimeZone m_zone;
    QDateTime m_now;
    QUuid m_archive;
    QHash<qint64, agenda::StoredAppointment> m_rows;
    QHash<QString, qint64> m_byUid; // the UID the calendar file gives each appointment
    // The change each merged text stands for, so that writing it is exact.
    mutable QHash<QByteArray, agenda::AppointmentChange> m_planned;
};

} // namespace dav
