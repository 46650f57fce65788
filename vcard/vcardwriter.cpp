#include "vcard/vcardwriter.h"

#include "vcard/vcardvalues.h"

using namespace vcard;

namespace {

constexpr qsizetype kLineOctets = 75;

// Text values (RFC 6350 3.4): backslash, comma, semicolon and line breaks escaped.
QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        switch (c.unicode()) {
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u',':
            out += QLatin1String("\\,");
            break;
        case u';':
            out += QLatin1String("\\;");
            break;
        case u'\r':
            if (i + 1 < value.size() && value[i + 1] == u'\n')
                break;
            out += QLatin1String("\\n");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A reference (URI) is not escaped, but a line break would end the line.
QString uri(const QString &value)
{
    QString out = value;
    out.remove(u'\r');
    out.remove(u'\n');
    return out;
}

class CardText
{
public:
    // Writes one content line, folded: each continuation starts with a blank and no line,
    // blank included, passes 75 octets. A cut never falls inside a UTF-8 sequence.
    void line(const QString &text)
    {
        const QByteArray octets = text.toUtf8();
        qsizetype from = 0;
        qsizetype room = kLineOctets;
        while (octets.size() - from > room) {
            qsizetype cut = from + room;
            while ((uchar(octets[cut]) & 0xC0) == 0x80)
                --cut;
            m_out.append(octets.constData() + from, cut - from);
            m_out.append("\r\n ");
            from = cut;
            room = kLineOctets - 1;
        }
        m_out.append(octets.constData() + from, octets.size() - from);
        m_out.append("\r\n");
    }
    void property(const char *name, const QString &value)
    {
        if (!value.isEmpty())
            line(QLatin1String(name) + escaped(value));
    }
    QByteArray take() { return std::move(m_out); }

private:
    QByteArray m_out;
};

QString formattedName(const DatiVCard &card)
{
    if (!card[Organisation].isEmpty())
        return card[Organisation];
    if (!card[FamilyName].isEmpty()) {
        if (card[GivenName].isEmpty())
            return card[FamilyName];
        return card[GivenName] + u' ' + card[FamilyName];
    }
    return card.formattedName;
}

void address(CardText &out, const char *name, const DatiVCard &card, Slot street, Slot number,
             Slot locality, Slot region, Slot postalCode)
{
    const QString streetComponent = joinStreet(card[street], card[number]);
    if (streetComponent.isEmpty() && card[locality].isEmpty() && card[region].isEmpty() &&
        card[postalCode].isEmpty())
        return;
    // Post-office box; extended address; street; locality; region; postal code; country.
    out.line(QLatin1String(name) + QLatin1String(";;") + escaped(streetComponent) + u';' +
             escaped(card[locality]) + u';' + escaped(card[region]) + u';' +
             escaped(card[postalCode]) + u';');
}

} // namespace

QByteArray ComponiVCard(const DatiVCard &card)
{
    CardText out;
    out.line(QStringLiteral("BEGIN:VCARD"));
    out.line(QStringLiteral("VERSION:4.0"));
    if (!card[Organisation].isEmpty() && card[FamilyName].isEmpty())
        out.line(QStringLiteral("KIND:org"));
    out.line(QLatin1String("FN:") + escaped(formattedName(card)));
    // N is optional in 4.0 but required by 3.0 readers: a company gets an empty one.
    out.line(QLatin1String("N:") + escaped(card[FamilyName]) + u';' + escaped(card[GivenName]) +
             u';' + escaped(card[AdditionalNames]) + u';' + escaped(card[NamePrefix]) + u';' +
             escaped(card[NameSuffix]));
    out.property("CATEGORIES:", card[Categories]);
    if (!card[HomeUrl].isEmpty())
        out.line(QLatin1String("URL:") + uri(card[HomeUrl]));
    if (!card[WorkUrl].isEmpty())
        out.line(QLatin1String("URL;TYPE=work:") + uri(card[WorkUrl]));
    out.property("ORG:", card[Organisation]);
    out.property("TITLE:", card[Title]);
    if (!card[Photo].isEmpty())
        out.line(QLatin1String("PHOTO:") + uri(card[Photo]));

    const struct
    {
        Slot slot;
        const char *name;
    } phones[] = {
        {HomeTel1, "TEL;TYPE=home,voice:"}, {HomeTel2, "TEL;TYPE=home,voice:"},
        {WorkTel1, "TEL;TYPE=work,voice:"}, {WorkTel2, "TEL;TYPE=work,voice:"},
        {HomeFax, "TEL;TYPE=home,fax:"},    {WorkFax, "TEL;TYPE=work,fax:"},
        {HomeCell1, "TEL;TYPE=cell:"},      {HomeCell2, "TEL;TYPE=cell:"},
        {WorkCell1, "TEL;TYPE=work,cell:"}, {WorkCell2, "TEL;TYPE=work,cell:"},
    };
    for (const auto &phone : phones)
        out.property(phone.name, card[phone.slot]);
    for (int i = 0; i < kEmailsPerKind; ++i)
        out.property("EMAIL;TYPE=home:", card.slot[HomeEmail1 + i]);
    for (int i = 0; i < kEmailsPerKind; ++i)
        out.property("EMAIL;TYPE=work:", card.slot[WorkEmail1 + i]);

    address(out, "ADR;TYPE=home:", card, HomeStreet, HomeNumber, HomeLocality, HomeRegion,
            HomePostalCode);
    address(out, "ADR;TYPE=work:", card, WorkStreet, WorkNumber, WorkLocality, WorkRegion,
            WorkPostalCode);

    // The program's keys are not URIs: the value is marked as text.
    out.property("UID;VALUE=text:", card[UidPrefix] + card[Uid]);
    out.property("NOTE:", card[Note]);
    out.property("ROLE:", card[Role]);
    if (!card[Geo].isEmpty()) {
        QString geo = uri(card[Geo]);
        if (!geo.startsWith(QLatin1String("geo:"), Qt::CaseInsensitive))
            geo.prepend(QLatin1String("geo:"));
        out.line(QLatin1String("GEO:") + geo);
    }
    if (!card[Key].isEmpty())
        out.line(QLatin1String("KEY:") + uri(card[Key]));
    // REV is a timestamp; the day is all the archive knows of it.
    if (const CardDate rev = readCardDate(card[Revision]); rev.kind == CardDate::Kind::Date)
        out.line(QLatin1String("REV:") + basicDate(rev.date) + QLatin1String("T000000Z"));
    // A birthday is a date, never a moment: no time, so no time zone moves it a day.
    // A birthday without its year (--0315), as a phone keeps it, is written as it came.
    if (const CardDate bday = readCardDate(card[Birthday]); bday.kind == CardDate::Kind::Date)
        out.line(QLatin1String("BDAY:") + basicDate(bday.date));
    else if (bday.kind == CardDate::Kind::Partial)
        out.line(QLatin1String("BDAY:") + uri(card[Birthday].trimmed()));
    // LABEL is no longer a property in 4.0: the goods destination travels as an extension.
    out.property("X-CALVETRA-DESTMERCE:", card[Label]);
    out.line(QStringLiteral("END:VCARD"));
    return out.take();
}
