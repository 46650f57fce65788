#pragma once

#include "db/core/result.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The program's date format is the Italian one, whatever the workstation's locale:
// dd/mm/yyyy, and hh:mm:ss for times. Every conversion between typed text and dates goes
// through here.

// Reads a typed date: d/m/yyyy (also with '-' or '.' between the parts, and a two-digit year,
// read as 1930-2029), optionally followed by a time h:mm[:ss] or h.mm[.ss].
db::Result<QDateTime> LeggiDataItaliana(QStringView text);

// What a date box holds (the mask dd/mm/yyyy, with '_' or blanks where nothing is typed): no
// date (an invalid QDate) while no digit is typed, the date once the box holds all of it as
// dd/mm/yyyy, read by LeggiDataItaliana(); an error for anything else (half typed, 31/02).
db::Result<QDate> LeggiCasellaData(QStringView shown);

// dd/mm/yyyy, with " hh:mm:ss" when the time is not midnight.
QString ScriviDataItaliana(const QDateTime &value);
QString ScriviDataItaliana(QDate value);

// A date in the Italian format as month/day/year for an SQL date literal (#3/5/2021#).
db::Result<QString> DataSql(QStringView italianDate);

// year-mm-dd, the year without leading zeros (2021-03-05, 999-12-31).
QString DataIso(QDate date);

// Reads characters 1-4 as the year, 6-7 as the month and 9-10 as the day.
db::Result<QDate> LeggiDataIso(QStringView text);
