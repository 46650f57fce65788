#pragma once

#include "vcard/vcardrecord.h"

// A company's telephones, e-mail, web site and address are its work ones: a phone files them
// under "work", not "home". The contact keeps them in its main fields, so a company's card moves
// them between the two kinds on the way out and back; a kind already filled is left as it is.

// True for a card of a company alone: an organisation and no person's name.
bool isCompanyCard(const DatiVCard &card);
// On export: a company's main fields become its work ones where those are empty.
void companyFieldsToWork(DatiVCard &card);
// On import: a company's work fields become its main ones where those are empty.
void companyFieldsFromWork(DatiVCard &card);
