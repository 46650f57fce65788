#pragma once

#include <QString>

#include <optional>

// Reads an amount typed the Italian way or the international one: "1.234,56", "1234,56",
// "1234.56", "1 234,56 €", "-5". A single dot followed by exactly three digits groups the
// thousands ("1.234" is one thousand two hundred thirty-four). Rounded to the cent. Nothing for
// anything else.
std::optional<double> LeggiImporto(const QString &text);

// Two decimals, the Italian way, with the euro sign: "1.234,56 €".
QString ScriviImporto(double amount);
