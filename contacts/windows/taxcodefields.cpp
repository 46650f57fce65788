#include "contacts/windows/taxcodefields.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/widgets/fieldbinder.h"
#include "db/core/datetimes.h"
#include "db/datasets/dataset.h"
#include "taxcode/codicefiscale.h"
#include "taxcode/codicefiscalecalcolato.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QToolButton>

#include <functional>

namespace {

const QString kCaption = QStringLiteral("Messaggio di avviso");

void showCheck(QLabel *mark, QLineEdit *edit, const TaxCodeCheck &check, const QString &validText)
{
    QString text, tip, colour;
    if (check.kind != TaxCodeCheck::Kind::Empty) {
        text = check.valid ? QStringLiteral("\u2713") : QStringLiteral("\u2717");
        tip = check.valid ? validText : check.reason;
        colour = check.valid ? QStringLiteral("#4d7a4d") : QStringLiteral("#a04545");
    }
    mark->setText(text);
    mark->setToolTip(tip);
    mark->setAccessibleName(tip);
    mark->setStyleSheet(colour.isEmpty() ? QString() : QStringLiteral("color: %1").arg(colour));
    edit->setToolTip(tip);
}

QToolButton *command(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(caption);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TaxCodeFields::TaxCodeFields(db::DataSet &contatti, db::DataSet &comuni, FieldBinder &binder,
                             Fields fields, QObject *parent)
    : QObject(parent), m_contatti(contatti), m_comuni(comuni), m_binder(binder), m_fields(fields)
{
    m_codiceFiscaleMark = new QLabel;
    m_codiceFiscaleMark->setObjectName(QStringLiteral("CFiscStato"));
    m_partitaIvaMark = new QLabel;
    m_partitaIvaMark->setObjectName(QStringLiteral("PIvaStato"));
    // Wide enough to show a whole code at the editor's normal size.
    for (QLineEdit *edit : {m_fields.codiceFiscale, m_fields.partitaIva})
        edit->setMinimumWidth(
            edit->fontMetrics().horizontalAdvance(QStringLiteral("MMMMMM00M00M000MM")));
    m_codiceFiscaleRow = rowWithMark(m_fields.codiceFiscale, m_codiceFiscaleMark);
    m_partitaIvaRow = rowWithMark(m_fields.partitaIva, m_partitaIvaMark);

    auto *layout = static_cast<QHBoxLayout *>(m_codiceFiscaleRow->layout());
    QToolButton *dati = command(m_codiceFiscaleRow, QStringLiteral("spdDatiCF"),
                                QStringLiteral("Dati dal codice fiscale"));
    QToolButton *calcola = command(m_codiceFiscaleRow, QStringLiteral("spdCalcolaCF"),
                                   QStringLiteral("Calcola codice fiscale"));
    layout->addWidget(dati);
    layout->addWidget(calcola);
    connect(dati, &QToolButton::clicked, this, &TaxCodeFields::fillFromCode);
    connect(calcola, &QToolButton::clicked, this, &TaxCodeFields::offerComputedCode);
    for (QLineEdit *edit : {m_fields.codiceFiscale, m_fields.partitaIva})
        connect(edit, &QLineEdit::textChanged, this, &TaxCodeFields::updateMarks);
}

QWidget *TaxCodeFields::rowWithMark(QLineEdit *edit, QLabel *mark)
{
    auto *row = new QWidget(edit->parentWidget());
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    edit->setParent(row);
    layout->addWidget(edit, 1);
    mark->setParent(row);
    // As wide with a mark as without: the field does not move as the user types.
    mark->setFixedWidth(mark->fontMetrics().horizontalAdvance(QStringLiteral("\u2717\u2713")));
    layout->addWidget(mark);
    return row;
}

TaxCodeCheck TaxCodeFields::currentCode() const
{
    return checkCodiceFiscale(m_fields.codiceFiscale->text(), db::clock::today());
}

void TaxCodeFields::updateMarks()
{
    showCheck(m_codiceFiscaleMark, m_fields.codiceFiscale, currentCode(),
              QStringLiteral("Codice fiscale valido"));
    showCheck(m_partitaIvaMark, m_fields.partitaIva, checkPartitaIva(m_fields.partitaIva->text()),
              QStringLiteral("Partita IVA valida"));
}

void TaxCodeFields::rememberStoredCodes()
{
    m_acceptedCodiceFiscale = normalizedTaxCode(m_contatti.value(u"CFisc").toString());
    m_acceptedPartitaIva = normalizedTaxCode(m_contatti.value(u"PIva").toString());
    updateMarks();
}

bool TaxCodeFields::askOnce(QLineEdit *edit, const QString &accepted, const QString &question)
{
    if (normalizedTaxCode(edit->text()) == accepted)
        return true;
    if (dialogs().confirm(question))
        return true;
    Q_EMIT showFields();
    edit->setFocus();
    return false;
}

bool TaxCodeFields::confirmOddCodes()
{
    const TaxCodeCheck cf = currentCode();
    if (!cf.valid && cf.kind != TaxCodeCheck::Kind::Empty) {
        if (!askOnce(m_fields.codiceFiscale, m_acceptedCodiceFiscale,
                     QStringLiteral("Il codice fiscale non sembra valido. Salvare comunque?")))
            return false;
        m_acceptedCodiceFiscale = cf.code;
    }
    const TaxCodeCheck iva = checkPartitaIva(m_fields.partitaIva->text());
    if (!iva.valid && iva.kind != TaxCodeCheck::Kind::Empty) {
        if (!askOnce(m_fields.partitaIva, m_acceptedPartitaIva,
                     QStringLiteral("La partita IVA non sembra valida. Salvare comunque?")))
            return false;
        m_acceptedPartitaIva = normalizedTaxCode(m_fields.partitaIva->text());
    }
    return true;
}

std::optional<TaxCodeFields::Comune> TaxCodeFields::comuneByCode(const QString &code) const
{
    const db::DataSet &comuni = m_comuni;
    const int id = comuni.columnIndex(u"ID"), name = comuni.columnIndex(u"Comune"),
              cadastral = comuni.columnIndex(u"CODICE_F");
    for (int r = 0; r < comuni.recordCount(); ++r) {
        if (comuni.valueAt(r, cadastral).toString().trimmed().compare(code, Qt::CaseInsensitive) ==
            0)
            return Comune{comuni.valueAt(r, id).toLongLong(), comuni.valueAt(r, name).toString(),
                          code};
    }
    return std::nullopt;
}

std::optional<TaxCodeFields::Comune> TaxCodeFields::birthplace() const
{
    const qint64 chosen = m_contatti.asInteger(u"LuogoNascita_Id");
    const QString named = m_contatti.value(u"LuogoNascita").toString().trimmed();
    if (named.isEmpty())
        return std::nullopt;
    const db::DataSet &comuni = m_comuni;
    const int id = comuni.columnIndex(u"ID"), name = comuni.columnIndex(u"Comune"),
              cadastral = comuni.columnIndex(u"CODICE_F");
    std::optional<Comune> byName;
    for (int r = 0; r < comuni.recordCount(); ++r) {
        const Comune c{comuni.valueAt(r, id).toLongLong(), comuni.valueAt(r, name).toString(),
                       comuni.valueAt(r, cadastral).toString().trimmed()};
        if (chosen > 0 && c.id == chosen && c.name.compare(named, Qt::CaseInsensitive) == 0)
            return c;
        if (!byName && c.name.compare(named, Qt::CaseInsensitive) == 0)
            byName = c;
    }
    return byName;
}

void TaxCodeFields::fillFromCode()
{
    const TaxCodeCheck check = currentCode();
    if (check.kind == TaxCodeCheck::Kind::Empty) {
        dialogs().warning(QStringLiteral("Manca il codice fiscale."));
        return;
    }
    if (!check.valid) {
        dialogs().warning(QStringLiteral("Il codice fiscale non è valido (%1).").arg(check.reason));
        return;
    }
    if (check.kind != TaxCodeCheck::Kind::Personal) {
        dialogs().warning(
            QStringLiteral("Un codice fiscale numerico non contiene dati di nascita."));
        return;
    }
    db::DataSet &contatto = m_contatti;
    // Each field that the code fills: its caption, what it holds, what the code says, the write.
    struct Fill
    {
        QString caption, shown, fromCode;
        bool same;
        std::function<void()> write;
    };
    QList<Fill> fills;
    const QString typedDate = m_fields.dataNascita->text().trimmed();
    const db::Result<QDateTime> typed = LeggiDataItaliana(typedDate);
    fills.append({QStringLiteral("Data di nascita"), typedDate, ScriviDataItaliana(check.birthDate),
                  typed && typed->date() == check.birthDate, [&] {
                      (void)contatto.setValue(u"DataNascita", db::naiveDateTime(check.birthDate));
                      m_binder.refresh(QStringLiteral("DataNascita"));
                  }});
    const QString sex = contatto.value(u"Sesso").toString().trimmed();
    fills.append({QStringLiteral("Sesso"), sex, QString(check.sex),
                  sex.compare(check.sex, Qt::CaseInsensitive) == 0, [&] {
                      (void)contatto.setValue(u"Sesso", QString(check.sex));
                      m_binder.refresh(QStringLiteral("Sesso"));
                  }});
    QString note;
    const QString place = contatto.value(u"LuogoNascita").toString().trimmed();
    const std::optional<Comune> comune =
        check.bornAbroad() ? std::nullopt : comuneByCode(check.placeCode);
    if (check.bornAbroad()) {
        note =
            QStringLiteral(
                "Il codice fiscale indica una nascita all'estero (codice %1): il luogo di nascita "
                "non è stato compilato.")
                .arg(check.placeCode);
    } else if (!comune) {
        note =
            QStringLiteral(
                "Nessun comune dell'archivio ha il codice catastale %1: il luogo di nascita non è "
                "stato compilato.")
                .arg(check.placeCode);
    } else {
        fills.append({QStringLiteral("Luogo di nascita"), place, comune->name,
                      place.compare(comune->name, Qt::CaseInsensitive) == 0, [&] {
                          (void)contatto.setValue(u"LuogoNascita", comune->name);
                          (void)contatto.setValue(u"LuogoNascita_Id", comune->id);
                          m_binder.refresh(QStringLiteral("LuogoNascita"));
                      }});
    }
    QStringList differing;
    bool written = false;
    for (const Fill &f : fills) {
        if (f.shown.isEmpty()) {
            f.write();
            written = true;
        } else if (!f.same) {
            differing
                << QStringLiteral("%1: %2 (dal codice: %3)").arg(f.caption, f.shown, f.fromCode);
        }
    }
    if (!differing.isEmpty() &&
        dialogs().confirm(
            QStringLiteral("Questi dati sono diversi da quelli del codice fiscale:\n%1\n"
                           "Sostituirli con quelli del codice fiscale?")
                .arg(differing.join(u'\n')))) {
        for (const Fill &f : fills) {
            if (!f.shown.isEmpty() && !f.same)
                f.write();
        }
        written = true;
    }
    if (written)
        Q_EMIT changed();
    if (!note.isEmpty())
        dialogs().information(note, kCaption);
}

void TaxCodeFields::setCode(const QString &code)
{
    (void)m_contatti.setValue(u"CFisc", code);
    m_binder.refresh(QStringLiteral("CFisc"));
    Q_EMIT changed();
}

void TaxCodeFields::offerComputedCode()
{
    DatiAnagrafici dati;
    dati.cognome = m_fields.cognome->text();
    dati.nome = m_fields.nome->text();
    if (const db::Result<QDateTime> born =
            LeggiDataItaliana(m_fields.dataNascita->text().trimmed()))
        dati.nascita = born->date();
    const QString sex = m_contatti.value(u"Sesso").toString().trimmed().toUpper();
    if (sex.size() == 1)
        dati.sesso = sex[0];
    const std::optional<Comune> place = birthplace();
    if (place && place->code.isEmpty()) {
        dialogs().warning(QStringLiteral("Il comune %1 non ha un codice catastale nell'archivio.")
                              .arg(place->name));
        return;
    }
    if (place)
        dati.codiceCatastale = place->code;
    const db::Result<QString> computed = computeCodiceFiscale(dati);
    if (!computed) {
        dialogs().warning(computed.message());
        return;
    }
    const QString typed = normalizedTaxCode(m_fields.codiceFiscale->text());
    if (typed.isEmpty()) {
        if (dialogs().confirm(
                QStringLiteral("Codice fiscale calcolato: %1. Inserirlo?").arg(*computed)))
            setCode(*computed);
    } else if (typed == *computed) {
        dialogs().information(
            QStringLiteral("Il codice fiscale inserito coincide con quello calcolato."), kCaption);
    } else if (currentCode().valid && omocodiaBase(typed) == *computed) {
        dialogs().information(
            QStringLiteral("Il codice fiscale inserito è una variante per omocodia di quello "
                           "calcolato (%1): resta com'è.")
                .arg(*computed),
            kCaption);
    } else if (dialogs().confirm(
                   QStringLiteral("Il codice fiscale calcolato (%1) è diverso da quello inserito "
                                  "(%2). Sostituirlo?")
                       .arg(*computed, typed))) {
        setCode(*computed);
    }
}
