#pragma once

#include "agenda/agendastore.h"
#include "contacts/contactstore.h"
#include "notices/noticestore.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"

// The data module with the store of every feature declared into it, as the program makes them,
// without a window.
struct Stores
{
    Tform_DB module;
    ReferenceStore reference{module.shared()};
    OptionsStore options{module.shared()};
    PaymentStore payments{module.shared()};
    AgendaStore agenda{module.shared()};
    ContactStore contacts{module.shared(), agenda};
    NoticeStore notices{module.shared()};
};
