#pragma once

#include <QDateTime>
#include <QString>

namespace db {

// Dates are wall-clock values without a time zone, as the office types them. They travel
// through the program as QDateTime values marked as UTC, so that no daylight-saving rule
// shifts them.
QDateTime naiveDateTime(QDate date, QTime time = QTime(0, 0));
QDateTime toNaive(const QDateTime &any);

// The stored form: "yyyy-MM-dd hh:mm:ss". It sorts and compares correctly as text.
QString storedDateTimeText(const QDateTime &value);

// Reads the stored form; also "yyyy-MM-dd", a 'T' separator and fractions of a second.
// Returns an invalid QDateTime for anything else.
QDateTime parseStoredDateTime(QStringView text);

// dd/mm/yyyy, with " hh:mm:ss" when the time is not midnight: how the program shows a date.
QString italianDateText(const QDateTime &value);

// The one clock of the program: the system's, or a fixed moment set by a test.
namespace clock {
QDateTime now();
QDate today();
void setFixedNow(const QDateTime &moment);
void useSystemTime();
// True while a test has fixed the clock.
bool isFixed();
} // namespace clock

} // namespace db
