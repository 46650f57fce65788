#pragma once

#include <QString>

// The queries of the postal-code finder, for a municipality by its name.

// The postal codes of the municipality's streets: one row means the code is known without
// asking the user.
QString capShortcutSql(const QString &comune);

// The municipality's streets with their codes, by locality and street.
QString streetListSql(const QString &comune);

// The filter of the street list: localities and then streets that begin with the texts;
// "" and "*" do not narrow. Empty when neither box narrows.
QString composeStreetFilter(const QString &frazione, const QString &indirizzo);
