#include "dav/agendaside.h"

#include "agenda/archiveidentity.h"
#include "agenda/icaldatetime.h"
#include "agenda/icalreader.h"
#include "db/core/datetimes.h"

namespace dav {

using namespace agenda;

namespace {

bool hasTime(const QDateTime &wallClock)
{
    return wallClock.time() != QTime(0, 0);
}

bool calendarDate(const QDateTime &wallClock)
{
    return wallClock.isValid() && isIcalYear(wallClock.date().year());
}

// The reminder's day an alarm stands for: its day in the office's zone.
QDateTime reminderDay(const QDateTime &alarm, const QTimeZone &zone)
{
    if (!alarm.isValid())
        return {};
    const QDate day = zone.isValid() ? alarm.toTimeZone(zone).date() : alarm.toUTC().date();
    return db::naiveDateTime(day);
}

} // namespace

db::Status AgendaSide::load(db::Connection &connection)
{
    db::Result<QUuid> archive = archiveIdentifier(connection);
    if (!archive)
        return archive.error();
    m_archive = *archive;
    db::Result<QList<StoredAppointment>> rows = readAppointments(connection);
    if (!rows)
        return rows.error();
    m_rows.clear();
    m_byUid.clear();
    m_rows.reserve(rows->size());
    for (StoredAppointment &row : *rows) {
        m_byUid.insert(eventUid(m_archive, row.appointment), row.appointment.id);
        m_rows.insert(row.appointment.id, std::move(row));
    }
    return {};
}

QList<qint64> AgendaSide::onPhones() const
{
    QList<qint64> ids;
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        if (isOnPhones(it.key()))
            ids.append(it.key());
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool AgendaSide::isOnPhones(qint64 id) const
{
    const auto found = m_rows.constFind(id);
    // An appointment without a date a calendar can hold has no event.
    return found != m_rows.cend() && !found->archived && calendarDate(found->appointment.data);
}

QString AgendaSide::describe(qint64 id) const
{
    const auto found = m_rows.constFind(id);
    if (found == m_rows.cend())
        return QStringLiteral("appuntamento %1").arg(id);
    const Appointment &a = found->appointment;
    return QStringLiteral("appuntamento del %1 «%2»")
        .arg(db::italianDateText(a.data),
             composeSummary(a.personale, a.tipologia, a.cliente, a.note));
}

AgendaSide::Fields AgendaSide::fieldsOf(const QByteArray &text) const
{
    Fields f;
    if (text.isEmpty())
        return f;
    const db::Result<PhoneEvent> event = readPhoneEvent(text, m_zone);
    if (!event)
        return f;
    f.ok = true;
    f.wholeDay = event->wholeDay;
    f.start = event->wholeDay ? db::naiveDateTime(event->start.date()) : event->start;
    f.alarm = event->alarm;
    f.summary = event->summary.trimmed();
    f.uid = event->uid;
    return f;
}

AgendaSide::Fields AgendaSide::archiveFields(const Appointment &a) const
{
    Fields f;
    f.ok = true;
    f.start = a.data;
    f.wholeDay = !hasTime(a.data);
    f.alarm = reminderMoment(a, m_zone);
    f.summary = composeSummary(a.personale, a.tipologia, a.cliente, a.note);
    return f;
}

QByteArray AgendaSide::compose(Appointment a, const QString &uid) const
{
    a.uid = uid;
    return composeCalendar({a}, {m_zone, m_now, m_archive}).text;
}

QByteArray AgendaSide::archiveView(qint64 id) const
{
    const Appointment &a = m_rows.value(id).appointment;
    return compose(a, eventUid(m_archive, a));
}

QByteArray AgendaSide::officeText(qint64 id, const QByteArray &agreed, const QByteArray &view) const
{
    if (!view.isEmpty() && !agreed.isEmpty() && same(archiveView(id), view))
        return agreed;
    const Appointment &a = m_rows.value(id).appointment;
    const Fields was = fieldsOf(agreed);
    return compose(a, was.uid.isEmpty() ? eventUid(m_archive, a) : was.uid);
}

AgendaSide::Fields AgendaSide::officeFields(qint64 id, const Fields &agreed,
                                            const QByteArray &viewText) const
{
    const Fields now = archiveFields(m_rows.value(id).appointment);
    const Fields was = fieldsOf(viewText);
    if (!agreed.ok || !was.ok)
        return now;
    Fields office = agreed;
    if (now.start != was.start || now.wholeDay != was.wholeDay) {
        office.start = now.start;
        office.wholeDay = now.wholeDay;
    }
    if (now.alarm != was.alarm)
        office.alarm = now.alarm;
    if (now.summary != was.summary)
        office.summary = now.summary;
    return office;
}

bool AgendaSide::same(const QByteArray &a, const QByteArray &b) const
{
    const Fields x = fieldsOf(a);
    const Fields y = fieldsOf(b);
    if (!x.ok || !y.ok)
        return a == b;
    return x.start == y.start && x.wholeDay == y.wholeDay && x.alarm == y.alarm &&
           x.summary == y.summary;
}

bool AgendaSide::readable(const QByteArray &text) const
{
    return fieldsOf(text).ok;
}

QString AgendaSide::resourceName(qint64 id) const
{
    return eventUid(m_archive, m_rows.value(id).appointment) + QStringLiteral(".ics");
}

qint64 AgendaSide::match(const QByteArray &server, const QSet<qint64> &linked) const
{
    const qint64 id = m_byUid.value(fieldsOf(server).uid);
    return id > 0 && isOnPhones(id) && !linked.contains(id) ? id : 0;
}

QString AgendaSide::noteFromSummary(const Appointment &a, const QString &summary)
{
    const QString text = summary.trimmed();
    const QString head = a.personale.trimmed().isEmpty() && a.tipologia.trimmed().isEmpty() &&
                                 a.cliente.trimmed().isEmpty()
                             ? QString()
                             : composeSummary(a.personale, a.tipologia, a.cliente, QString());
    if (head.isEmpty())
        return text;
    const QString separator = !a.cliente.trimmed().isEmpty()     ? QStringLiteral(" : ")
                              : !a.tipologia.trimmed().isEmpty() ? QStringLiteral(" / ")
                                                                 : QStringLiteral(" - ");
    if (text.startsWith(head + separator))
        return text.mid(head.size() + separator.size()).trimmed();
    if (text == head)
        return QString();
    return text;
}

SyncSide::Outcome AgendaSide::merge(const QByteArray &agreedText, qint64 id, const QByteArray &view,
                                    const QByteArray &serverText) const
{
    Outcome outcome;
    const Fields server = fieldsOf(serverText);
    const Fields agreed = fieldsOf(agreedText);
    Appointment a = m_rows.value(id).appointment;
    const Fields office = officeFields(id, agreed, view);
    AppointmentChange change{a.data, a.avviso, a.note};
    // Each field on its own: the one side that changed it wins; both, the archive.
    bool officeWins = false; // the server must take something of the office's
    const auto decide = [&](bool officeIsPhone, bool officeIsBase, bool phoneIsBase,
                            const QString &name, const QString &officeText,
                            const QString &phoneText) {
        if (officeIsPhone)
            return false;
        if (officeIsBase)
            return true;
        if (!phoneIsBase)
            outcome.conflicts.append({name, officeText, phoneText});
        officeWins = true;
        return false;
    };
    const auto startText = [](const Fields &f) { return db::italianDateText(f.start); };
    const auto alarmText = [this](const Fields &f) {
        return f.alarm.isValid() ? db::italianDateText(db::toNaive(f.alarm.toTimeZone(
                                       m_zone.isValid() ? m_zone : QTimeZone::utc())))
                                 : QStringLiteral("nessuno");
    };
    const bool base = agreed.ok;
    if (decide(office.start == server.start && office.wholeDay == server.wholeDay,
               base && office.start == agreed.start && office.wholeDay == agreed.wholeDay,
               base && server.start == agreed.start && server.wholeDay == agreed.wholeDay,
               QStringLiteral("data"), startText(office), startText(server))) {
        change.data = server.start;
        outcome.archiveChanges = true;
    }
    if (decide(office.alarm == server.alarm, base && office.alarm == agreed.alarm,
               base && server.alarm == agreed.alarm, QStringLiteral("avviso"), alarmText(office),
               alarmText(server))) {
        change.avviso = reminderDay(server.alarm, m_zone);
        outcome.archiveChanges = true;
    }
    if (decide(office.summary == server.summary, base && office.summary == agreed.summary,
               base && server.summary == agreed.summary, QStringLiteral("titolo"), office.summary,
               server.summary)) {
        change.note = noteFromSummary(a, server.summary);
        outcome.archiveChanges = true;
    }
    a.data = change.data;
    a.avviso = change.avviso;
    a.note = change.note;
    // Nothing of the office's to send: the event stays as the phone wrote it (its alarm's time,
    // its place, its end), which the archive does not keep.
    outcome.text = officeWins
                       ? compose(a, server.uid.isEmpty() ? eventUid(m_archive, a) : server.uid)
                       : serverText;
    if (outcome.archiveChanges)
        m_planned.insert(outcome.text, change);
    return outcome;
}

db::Result<qint64> AgendaSide::write(db::Connection &connection, qint64 id, const QByteArray &text)
{
    AppointmentChange change;
    if (const auto planned = m_planned.constFind(text); planned != m_planned.cend()) {
        change = *planned;
    } else {
        const Fields f = fieldsOf(text);
        if (!f.ok)
            return db::Error{QStringLiteral("Un evento del calendario non è leggibile.")};
        change = {f.start, reminderDay(f.alarm, m_zone), f.summary};
    }
    if (id > 0) {
        if (db::Status updated = updateAppointment(connection, id, change); !updated)
            return updated.error();
    } else {
        db::Result<qint64> inserted = insertAppointment(connection, change);
        if (!inserted)
            return inserted.error();
        id = *inserted;
    }
    db::Result<std::optional<StoredAppointment>> read = readAppointment(connection, id);
    if (!read)
        return read.error();
    if (!*read)
        return db::Error{QStringLiteral("L'appuntamento %1 non è più in archivio.").arg(id)};
    m_rows.insert(id, std::move(**read));
    return id;
}

db::Status AgendaSide::setOnPhones(db::Connection &connection, qint64 id, bool onPhones)
{
    if (db::Status set = archiveAppointment(connection, id, !onPhones); !set)
        return set;
    if (auto found = m_rows.find(id); found != m_rows.end())
        found->archived = !onPhones;
    return {};
}

} // namespace dav
