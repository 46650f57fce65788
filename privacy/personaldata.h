#pragma once

#include "db/core/result.h"
#include "db/core/rowset.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace privacy {

// One field of the contact that holds something: the column, its Italian label, its value
// (a town, category, profession, title or sex by its name, never by its key) and the value as
// the program shows it.
struct Field
{
    QString column;
    QString label;
    QVariant value;
    QString shown;
};

struct Payment
{
    QDateTime date;
    QString description;
    double amount = 0;
};

struct Appointment
{
    QDateTime when;
    QDateTime reminder;
    QString type;
    QString note;
    QString staff;
    QString contactText; // the contact's name as the appointment keeps it
    bool done = false;
    bool archived = false;
};

// Everything the archive holds about one contact, and nothing about anybody else.
struct PersonalData
{
    qint64 id = 0;
    QString name; // the name used in documents
    QList<Field> fields;
    QList<Payment> payments;
    QList<Appointment> appointments;
    bool consent = false; // the privacy form signed (PrivacyFirmata)
    int scratchRows = 0;  // this contact among the notice recipients of some workstation
};

// Reads it all in one read transaction. An ID no contact has is refused in Italian.
db::Result<PersonalData> readPersonalData(db::Connection &connection, qint64 id);

// For a machine (art. 20): UTF-8 JSON with Italian keys, dates in ISO 8601, amounts as numbers.
QByteArray personalDataJson(const PersonalData &data, const QDateTime &exportedAt);

// For a person: the rows the printed copy lists, section by section ("Ordine", "Sezione",
// "Voce", "Valore"), values as the program shows them.
db::RowSet personalDataRows(const PersonalData &data);

} // namespace privacy
