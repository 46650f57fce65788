#include "reference/windows/frmcomunidett.h"

#include "common/datasetmodel.h"
#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "reference/referencestore.h"

#include <QEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Coordinates are typed the Italian way, with a comma; a dot is taken too.
QString coordinateText(const QVariant &value)
{
    return value.isValid() ? QLocale(QLocale::Italian).toString(value.toDouble(), 'g', 12)
                           : QString();
}

QVariant coordinateValue(QString text)
{
    text = text.trimmed().replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QVariant(value) : QVariant();
}

} // namespace

TfrmComuniDett::TfrmComuniDett(ReferenceStore &store)
    : m_dataSet(store.TableComuni), m_province(store.TableProvince)
{
    setObjectName(QStringLiteral("frmComuniDett"));
    setWindowTitle(QStringLiteral("Comuni"));
    setHelpContext(this, 1750);
    m_binder = new FieldBinder(store.TableComuni, this);

    auto *layout = new QVBoxLayout(this);
    const DetailToolbar toolbar = makeDetailToolbar(this, true);
    layout->addWidget(toolbar.bar);
    connect(toolbar.salva, &QToolButton::clicked, this, &TfrmComuniDett::spdSalvaClick);
    connect(toolbar.indietro, &QToolButton::clicked, this, &TfrmComuniDett::spdIndietroClick);

    auto *form = new QFormLayout;
    layout->addLayout(form);
    layout->addStretch();
    m_comune = textField(QStringLiteral("DBEdit1"), 100);
    m_binder->bindText(m_comune, QStringLiteral("Comune"));
    form->addRow(QStringLiteral("Descrizione"), m_comune);
    const std::tuple<const char *, const char *, const char *, int> texts[] = {
        {"DBEdit2", "Cap", "Cap", 5},
        {"DBEdit3", "COD_ISTAT", "Codice Istat", 6},
        {"DBEdit4", "CODICE_F", "Codice Belfiore", 4},
        {"DBEdit5", "PrefNaz", "Prefisso Telefonico", 10},
    };
    for (const auto &[name, column, label, length] : texts) {
        QLineEdit *edit = textField(QString::fromLatin1(name), length);
        m_binder->bindText(edit, QString::fromLatin1(column));
        form->addRow(QString::fromUtf8(label), edit);
    }

    // The province list names the chief town and, beside it, the two letters Italians know.
    m_provincia = lookupField(QStringLiteral("DBLookupComboBox1"), store.TableProvince,
                              QStringLiteral("PROVINCIA"), QStringLiteral("PROVINCIA"),
                              QStringLiteral("Provincia"));
    db::DataSet *province = &store.TableProvince;
    static_cast<DataSetModel *>(m_provincia->model())
        ->setDisplayHook(QStringLiteral("PROVINCIA"), [province](const QVariant &code) {
            const int codes = province->columnIndex(u"PROVINCIA");
            const int towns = province->columnIndex(u"CAPOLUOGO");
            for (int row = 0; row < province->recordCount(); ++row) {
                if (province->valueAt(row, codes) == code)
                    return province->valueAt(row, towns).toString() + QStringLiteral(" (") +
                           code.toString() + u')';
            }
            return code.toString();
        });
    m_provincia->setToolTip(
        QStringLiteral("Per poter scegliere è necessario avere inserito almeno un fornitore"));
    connect(m_provincia, &DataSetComboBox::chosen, this, &TfrmComuniDett::provinciaChosen);
    form->addRow(QStringLiteral("Provincia"), m_provincia);
    m_regione = lookupField(QStringLiteral("DBLookupComboBox2"), store.TableRegioni,
                            QStringLiteral("IDRegione"), QStringLiteral("Descrizione"),
                            QStringLiteral("Regione_ID"));
    form->addRow(QStringLiteral("Regione"), m_regione);
    DataSetComboBox *nazione = lookupField(QStringLiteral("DBLookupComboBox3"), store.TableNazioni,
                                           QStringLiteral("IDNazione"), QStringLiteral("DENOMINAZ"),
                                           QStringLiteral("Nazione_ID"));
    form->addRow(QStringLiteral("Nazione"), nazione);
    for (DataSetComboBox *box : {m_regione, nazione})
        connect(box, &DataSetComboBox::chosen, this, [this] { setModified(true); });

    form->addRow(QStringLiteral("Longitudine"),
                 coordinateField(QStringLiteral("DBEdit6"), QStringLiteral("Longitudine")));
    form->addRow(QStringLiteral("Latitudine"),
                 coordinateField(QStringLiteral("DBEdit7"), QStringLiteral("Latitudine")));
    connect(&store.TableComuni, &db::DataSet::currentChanged, this,
            &TfrmComuniDett::showCoordinates);
    connect(&store.TableComuni, &db::DataSet::reset, this, &TfrmComuniDett::showCoordinates);
    resize(520, 420);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    const std::pair<DataSetComboBox *, const char *> lookups[] = {
        {m_provincia, "Provincia"}, {m_regione, "Regione_ID"}, {nazione, "Nazione_ID"}};
    for (const auto &[box, column] : lookups) {
        conventions->markAsLookup(box, [this, column = QString::fromLatin1(column)] {
            (void)dataSet().setValue(column, QVariant());
            setModified(true);
        });
    }
}

QLineEdit *TfrmComuniDett::textField(const QString &name, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    edit->installEventFilter(this);
    return edit;
}

QLineEdit *TfrmComuniDett::coordinateField(const QString &name, const QString &column)
{
    QLineEdit *edit = textField(name, 20);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?\\d{0,3}([.,]\\d{0,12})?")), edit));
    connect(edit, &QLineEdit::textEdited, this, [this, column](const QString &text) {
        (void)dataSet().setValue(column, coordinateValue(text));
    });
    m_coordinates.append({edit, column});
    return edit;
}

DataSetComboBox *TfrmComuniDett::lookupField(const QString &name, db::DataSet &list,
                                             const QString &key, const QString &shown,
                                             const QString &column)
{
    auto *box = new DataSetComboBox(list, key, shown, this);
    box->setObjectName(name);
    box->installEventFilter(this);
    m_binder->bindLookup(box, column);
    return box;
}

void TfrmComuniDett::showCoordinates()
{
    for (const auto &[edit, column] : std::as_const(m_coordinates))
        edit->setText(coordinateText(dataSet().value(column)));
}

void TfrmComuniDett::provinciaChosen()
{
    // The province has been written by its binding; its region follows when it has one.
    const QVariant regione = m_province.value(u"Regione_ID");
    if (regione.isValid()) {
        (void)dataSet().setValue(u"Regione_ID", regione);
        m_regione->setKey(regione);
    }
    // A province without a region is a change too: it must not stay unsaved on the way out.
    setModified(true);
}

void TfrmComuniDett::apri()
{
    m_binder->refresh();
    showCoordinates();
    m_comune->setFocus();
    dialogs().showModal(this);
}

bool TfrmComuniDett::mayLeave()
{
    if (!m_new || !m_comune->text().trimmed().isEmpty())
        return true;
    if (!dialogs().confirm(QStringLiteral("Il record è vuoto. Eliminarlo?")))
        return false;
    if (!EliminaRecord(dataSet(), QStringLiteral("Id")))
        return false;
    m_new = false;
    setModified(false);
    return true;
}

bool TfrmComuniDett::save()
{
    if (m_comune->text().isEmpty()) {
        dialogs().error(QStringLiteral("Attenzione manca la Descrizione del Comune"));
        m_comune->setFocus();
        return false;
    }
    // A refusal has been shown by the record operation; what was typed stays.
    return SalvaRecord(dataSet(), QStringLiteral("Id")).ok();
}

bool TfrmComuniDett::eventFilter(QObject *watched, QEvent *event)
{
    // A click counts only in a text field.
    if (InputConventions::isEditingGesture(event) &&
        (event->type() == QEvent::KeyPress || qobject_cast<QLineEdit *>(watched)))
        setModified(true);
    return DetailWindow::eventFilter(watched, event);
}
