#pragma once

#include "session/reporthandoff.h"

#include <optional>

// The definition of `kind`, from the store of the feature whose data it prints. The privacy
// form prints the contact `contactId`. Nothing for a value outside the enumeration.
std::optional<ReportDefinition> reportDefinition(ReportKind kind, qint64 contactId);
