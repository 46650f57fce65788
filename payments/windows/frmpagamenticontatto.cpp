#include "payments/windows/frmpagamenticontatto.h"

#include "common/dialogs.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "payments/paymentchecks.h"
#include "payments/paymentstore.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmImportaPagamento::TfrmImportaPagamento(db::DataSet &tipoPagamenti, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_tipoPagamenti(tipoPagamenti)
{
    setObjectName(QStringLiteral("frmImportaPagamento"));
    setWindowTitle(QStringLiteral("Importa Pagamento"));
    setHelpContext(this, 6100);
    auto *layout = new QVBoxLayout(this);
    auto *toolbar = new QHBoxLayout;
    QToolButton *aiuto = toolButton(this, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"),
                                    QString(), QStyle::SP_DialogHelpButton);
    QToolButton *indietroButton =
        toolButton(this, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                   QStyle::SP_ArrowBack);
    QToolButton *avantiButton =
        toolButton(this, QStringLiteral("spdAvanti"), QStringLiteral("Avanti"), QString(),
                   QStyle::SP_ArrowForward);
    for (QToolButton *b : {aiuto, indietroButton, avantiButton})
        toolbar->addWidget(b);
    toolbar->addStretch();
    layout->addLayout(toolbar);
    auto *model = new DataSetModel(m_tipoPagamenti, this);
    model->setDesign({{QStringLiteral("Descrizione"), 300, QStringLiteral("Descrizione")}});
    m_grid = new DataGrid(model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    layout->addWidget(m_grid, 1);
    InputConventions::connectHelpButton(aiuto);
    connect(avantiButton, &QToolButton::clicked, this, &TfrmImportaPagamento::avanti);
    connect(indietroButton, &QToolButton::clicked, this, &TfrmImportaPagamento::indietro);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmImportaPagamento::avanti);
    resize(380, 420);
}

QVariant TfrmImportaPagamento::descrizione() const
{
    return m_tipoPagamenti.value(u"Descrizione");
}

void TfrmImportaPagamento::avanti()
{
    cancelled = false;
    accept();
}

void TfrmImportaPagamento::indietro()
{
    reject();
}

void TfrmImportaPagamento::reject()
{
    // Escape closes the picker too: only "Avanti" or a double click choose.
    cancelled = true;
    QDialog::reject();
}

TfrmPagamentiContatto::TfrmPagamentiContatto(PaymentStore &store, TfrmImportaPagamento &picker,
                                             QWidget *parent)
    : DetailWindow(parent), m_store(store), m_picker(picker)
{
    setObjectName(QStringLiteral("frmPagamentiContatto"));
    setWindowTitle(QStringLiteral("Pagamenti per Contatto"));
    setHelpContext(this, 6000);
    m_binder = new FieldBinder(m_store.TablePagamenti, this);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_data = new QLineEdit(this);
    m_data->setObjectName(QStringLiteral("DBEdit1"));
    m_binder->bindDate(m_data, QStringLiteral("data"));
    form->addRow(QStringLiteral("Data"), m_data);
    m_descrizione = new QLineEdit(this);
    m_descrizione->setObjectName(QStringLiteral("DBEdit3"));
    m_binder->bindText(m_descrizione, QStringLiteral("Descrizione"));
    auto *descrizioneRow = new QHBoxLayout;
    descrizioneRow->addWidget(m_descrizione, 1);
    auto *pickerButton = new QToolButton(this);
    pickerButton->setObjectName(QStringLiteral("BitBtn1"));
    pickerButton->setText(QStringLiteral("…"));
    pickerButton->setToolTip(QStringLiteral("Scegli un tipo di pagamento"));
    pickerButton->setFocusPolicy(Qt::NoFocus);
    descrizioneRow->addWidget(pickerButton);
    form->addRow(QStringLiteral("Descrizione"), descrizioneRow);
    m_importo = new QLineEdit(this);
    m_importo->setObjectName(QStringLiteral("DBEdit2"));
    m_binder->bindAmount(m_importo, QStringLiteral("Importo"));
    form->addRow(QStringLiteral("Importo"), m_importo);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    QToolButton *salvaButton =
        toolButton(this, QStringLiteral("spdSalva"), QStringLiteral("Salva"),
                   QStringLiteral("Sava le modifiche effettuate"), QStyle::SP_DialogSaveButton);
    salvaButton->hide();
    QToolButton *indietroButton =
        toolButton(this, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"), QString(),
                   QStyle::SP_ArrowBack);
    buttons->addStretch();
    buttons->addWidget(salvaButton);
    buttons->addWidget(indietroButton);
    layout->addLayout(buttons);
    setTabOrder(m_data, m_descrizione);
    setTabOrder(m_descrizione, m_importo);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    connect(conventions, &InputConventions::edited, this, [this] {
        m_typed = true;
        setModified(true);
    });
    connect(m_binder, &FieldBinder::edited, this, [this] {
        m_typed = true;
        setModified(true);
    });
    connect(pickerButton, &QToolButton::clicked, this, &TfrmPagamentiContatto::importaDescrizione);
    connect(salvaButton, &QToolButton::clicked, this, &TfrmPagamentiContatto::spdSalvaClick);
    connect(indietroButton, &QToolButton::clicked, this, &TfrmPagamentiContatto::spdIndietroClick);
    resize(420, 160);
}

void TfrmPagamentiContatto::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_binder->refresh();
    m_data->setFocus();
}

bool TfrmPagamentiContatto::save()
{
    const MissingPaymentField missing = firstMissingPaymentField(
        m_data->text().trimmed(), m_importo->text().trimmed(), m_descrizione->text());
    if (missing != MissingPaymentField::None) {
        dialogs().error(missingPaymentMessage(missing));
        (missing == MissingPaymentField::Date     ? m_data
         : missing == MissingPaymentField::Amount ? m_importo
                                                  : m_descrizione)
            ->setFocus();
        return false;
    }
    QWidget *wrong = nullptr;
    if (db::Status typed = m_binder->commit(&wrong); !typed) {
        dialogs().error(typed.message());
        if (wrong)
            wrong->setFocus();
        return false;
    }
    return m_store.save().ok();
}

void TfrmPagamentiContatto::importaDescrizione()
{
    dialogs().showModal(&m_picker);
    if (m_picker.cancelled)
        return;
    (void)m_store.TablePagamenti.setValue(u"Descrizione", m_picker.descrizione());
    m_binder->refresh(QStringLiteral("Descrizione"));
    m_typed = true;
    setModified(true);
}

bool TfrmPagamentiContatto::mayLeave()
{
    if (!m_new || m_typed)
        return true;
    // "Aggiungi" by mistake: the payment was only begun, so it goes without a question.
    m_store.TablePagamenti.cancel();
    setNew(false);
    setModified(false);
    return true;
}
