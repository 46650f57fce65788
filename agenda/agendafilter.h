#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

#include <optional>

// What the agenda's search panel holds.
struct AgendaSearch
{
    QString tipologia;    // start of the type
    QString contatto;     // start of the contact's name
    QString note;         // start of the notes
    QString daData;       // from-date box, dd/mm/yyyy
    QString aData;        // to-date box, dd/mm/yyyy
    bool dayMode = false; // a day was clicked in the month calendar: only that day
    QDate day;
};

// What the agenda grid lists: the search in force and the grid's sort text ("" keeps the
// order of the agenda's query, newest first).
struct AgendaListing
{
    AgendaSearch search;
    QString sort;
};

// A date typed as dd/mm/yyyy (blanks around it aside) that exists on the calendar; nothing for
// an incomplete or impossible text such as 31/02/2024.
std::optional<QDate> fullDate(const QString &text);

// The agenda's filter text: type, contact and notes as begins-with matches (apostrophes
// doubled; "" and "*" mean no criterion), then either the clicked day or the from and to dates
// (the whole of the last day). Dates are written dd/mm/yyyy whatever the machine's locale; a
// date box that does not hold a whole, real date adds nothing.
QString composeAgendaFilter(const AgendaSearch &search);

// The query of the print of the appointments `listing` shows, in the grid's order: those not
// archived that the grid's filter keeps (composeAgendaFilter) — type, contact and notes that
// begin with the typed text, * and % standing for any text, letter case aside; the clicked day
// or the range — ordered by the grid's sort and then, as the agenda's query, newest first.
// The typed texts and the dates are bound to the ?s of `sql`, in order.
struct AgendaQuery
{
    QString sql;
    QVariantList values;
};
AgendaQuery composeAgendaQuery(const AgendaListing &listing);
