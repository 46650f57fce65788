#include "notices/windows/frmavvisiclienti_filtri.h"

#include "common/dialogs.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/inputconventions.h"
#include "notices/windows/frmavvisiclienti_griglia.h"
#include "notices/windows/wizardtoolbar.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The key of a list's choice; -1 when nothing is chosen.
qint64 chosenKey(const DataSetComboBox *box)
{
    const QVariant key = box->key();
    return key.isValid() ? key.toLongLong() : -1;
}

} // namespace

TfrmAvvisiClienti_Filtri::TfrmAvvisiClienti_Filtri(db::DataSet &professioni, db::DataSet &categorie,
                                                   db::DataSet &comuni, db::DataSet &province,
                                                   TfrmAvvisiClienti_Griglia &recipients)
    : QDialog(nullptr, Qt::Dialog), m_recipients(recipients)
{
    setObjectName(QStringLiteral("frmAvvisiClienti_Filtri"));
    setWindowTitle(QStringLiteral("Avvisi per Clienti"));
    setHelpContext(this, 7210);

    auto *layout = new QVBoxLayout(this);
    const WizardToolbar toolbar =
        addWizardToolbar(this, layout, QStringLiteral("btnContinua"), QStringLiteral("Continua"),
                         QStyle::SP_ArrowForward);
    QToolButton *indietro = toolbar.indietro;
    QToolButton *continua = toolbar.avanti;

    auto *group = new QGroupBox(QStringLiteral("Filtri:"), this);
    auto *form = new QFormLayout(group);
    m_professione = lookup(professioni, QStringLiteral("DBLookupComboBox1"), QStringLiteral("Id"),
                           QStringLiteral("Descrizione"));
    form->addRow(QStringLiteral("Professione"), m_professione);
    m_categoria = lookup(categorie, QStringLiteral("DBLookupComboBox3"), QStringLiteral("Id"),
                         QStringLiteral("Descrizione"));
    form->addRow(QStringLiteral("Categoria"), m_categoria);
    m_comune = lookup(comuni, QStringLiteral("DBLookupComboBox4"), QStringLiteral("ID"),
                      QStringLiteral("Comune"));
    form->addRow(QStringLiteral("Comune residenza"), m_comune);
    m_provincia = lookup(province, QStringLiteral("DBLookupComboBox2"), QStringLiteral("CODPROV"),
                         QStringLiteral("PROVINCIA"));
    form->addRow(QStringLiteral("Provincia"), m_provincia);
    m_note = new QLineEdit(group);
    m_note->setObjectName(QStringLiteral("Edit4"));
    form->addRow(QStringLiteral("Note"), m_note);
    m_da = dateBox(QStringLiteral("maskDa"));
    form->addRow(QStringLiteral("Da data nascita"), m_da);
    m_a = dateBox(QStringLiteral("maskA"));
    form->addRow(QStringLiteral("Alla data nascita"), m_a);
    layout->addWidget(group);
    layout->addStretch();
    resize(520, 360);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    for (DataSetComboBox *box : {m_professione, m_categoria, m_comune, m_provincia})
        conventions->markAsLookup(box, [] {});
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(continua, &QToolButton::clicked, this, &TfrmAvvisiClienti_Filtri::btnContinuaClick);
}

DataSetComboBox *TfrmAvvisiClienti_Filtri::lookup(db::DataSet &list, const QString &name,
                                                  const QString &key, const QString &shown)
{
    auto *box = new DataSetComboBox(list, key, shown, this);
    box->setObjectName(name);
    return box;
}

QLineEdit *TfrmAvvisiClienti_Filtri::dateBox(const QString &name)
{
    auto *box = new QLineEdit(this);
    box->setObjectName(name);
    box->setInputMask(QStringLiteral("99/99/9999;_"));
    box->setMaximumWidth(110);
    return box;
}

void TfrmAvvisiClienti_Filtri::reset()
{
    for (DataSetComboBox *box : {m_professione, m_categoria, m_comune, m_provincia})
        box->setKey(QVariant());
    m_da->clear();
    m_a->clear();
    m_note->clear();
}

void TfrmAvvisiClienti_Filtri::apri()
{
    m_professione->setFocus();
    dialogs().showModal(this);
}

notices::NoticeFilter TfrmAvvisiClienti_Filtri::filter() const
{
    notices::NoticeFilter f;
    f.professione = chosenKey(m_professione);
    f.categoria = chosenKey(m_categoria);
    f.comune = chosenKey(m_comune);
    if (chosenKey(m_provincia) > 0)
        f.provincia = m_provincia->shownText();
    f.note = m_note->text();
    f.daData = m_da->displayText();
    f.aData = m_a->displayText();
    return f;
}

void TfrmAvvisiClienti_Filtri::btnContinuaClick()
{
    const notices::NoticeFilter chosen = filter();
    for (QLineEdit *box : {m_da, m_a}) {
        if (const db::Result<QDate> date = notices::readBirthDate(box->displayText()); !date) {
            dialogs().error(date.message());
            box->setFocus();
            return;
        }
    }
    const db::Result<QString> sql = notices::composeNoticeQuery(chosen);
    if (!sql) {
        dialogs().error(sql.message());
        return;
    }
    if (db::Status listed = m_recipients.carica(*sql); !listed) {
        dialogs().error(listed.message());
        return;
    }
    m_recipients.SelezionaTutti();
    m_recipients.apri();
}
