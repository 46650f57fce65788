#pragma once

#include "agenda/agendafilter.h"
#include "session/reporthandoff.h"

#include <optional>

// The definition of `kind`, from the store of the feature whose data it prints. The privacy
// form prints the contact `contactId`, the appointments what `agenda` lists (by default the
// whole agenda). Nothing for a value outside the enumeration.
std::optional<ReportDefinition> reportDefinition(ReportKind kind, qint64 contactId,
                                                 const AgendaListing &agenda = {});
