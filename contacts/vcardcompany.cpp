#include "contacts/vcardcompany.h"

#include <algorithm>
#include <initializer_list>

using namespace vcard;

namespace {

// The main (home) slot of each field and its work twin; an address moves as one.
struct Pair
{
    Slot home;
    Slot work;
};

const std::initializer_list<std::initializer_list<Pair>> kGroups = {
    {{HomeTel1, WorkTel1}},
    {{HomeTel2, WorkTel2}},
    {{HomeFax, WorkFax}},
    {{HomeCell1, WorkCell1}},
    {{HomeCell2, WorkCell2}},
    {{Slot(HomeEmail1 + 0), Slot(WorkEmail1 + 0)}},
    {{Slot(HomeEmail1 + 1), Slot(WorkEmail1 + 1)}},
    {{Slot(HomeEmail1 + 2), Slot(WorkEmail1 + 2)}},
    {{Slot(HomeEmail1 + 3), Slot(WorkEmail1 + 3)}},
    {{HomeUrl, WorkUrl}},
    {{HomeStreet, WorkStreet},
     {HomeNumber, WorkNumber},
     {HomePostalCode, WorkPostalCode},
     {HomeLocality, WorkLocality},
     {HomeRegion, WorkRegion}},
};

void move(DatiVCard &card, bool toWork)
{
    if (!isCompanyCard(card))
        return;
    for (const auto &group : kGroups) {
        const auto from = [&](const Pair &p) -> QString & {
            return card[toWork ? p.home : p.work];
        };
        const auto to = [&](const Pair &p) -> QString & { return card[toWork ? p.work : p.home]; };
        const bool anything = std::any_of(group.begin(), group.end(),
                                          [&](const Pair &p) { return !from(p).isEmpty(); });
        const bool free =
            std::all_of(group.begin(), group.end(), [&](const Pair &p) { return to(p).isEmpty(); });
        if (!anything || !free)
            continue;
        for (const Pair &p : group)
            std::swap(from(p), to(p));
    }
}

} // namespace

bool isCompanyCard(const DatiVCard &card)
{
    return !card[Organisation].trimmed().isEmpty() && card[FamilyName].trimmed().isEmpty() &&
           card[GivenName].trimmed().isEmpty();
}

void companyFieldsToWork(DatiVCard &card)
{
    move(card, true);
}

void companyFieldsFromWork(DatiVCard &card)
{
    move(card, false);
}
