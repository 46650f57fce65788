#include "payments/windows/frmpagamenticontatto.h"

#include "app/datamodule.h"
#include "common/dialogs.h"
#include "common/recordoperations.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/fieldbinder.h"
#include "common/widgets/inputconventions.h"
#include "payments/paymentchecks.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TfrmImportaPagamento::TfrmImportaPagamento(Tform_DB &db, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmImportaPagamento"));
    setWindowTitle(QStringLiteral("Importa Pagamento"));
    setHelpContext(this, 6100);
    auto *layout = new QVBoxLayout(this);
    auto *toolbar = new QHBoxLayout;
    auto *aiuto = new QPushButton(QStringLiteral("Aiuto"), this);
    aiuto->setObjectName(QStringLiteral("spdHelp"));
    auto *indietroButton = new QPushButton(QStringLiteral("Indietro"), this);
    indietroButton->setObjectName(QStringLiteral("spdIndietro"));
    auto *avantiButton = new QPushButton(QStringLiteral("Avanti"), this);
    avantiButton->setObjectName(QStringLiteral("spdAvanti"));
    for (QPushButton *b : {aiuto, indietroButton, avantiButton}) {
        b->setAutoDefault(false);
        toolbar->addWidget(b);
    }
    toolbar->addStretch();
    layout->addLayout(toolbar);
    auto *model = new DataSetModel(db.TableTipoPagamenti, this);
    model->setDesign({{QStringLiteral("Descrizione"), 300, QStringLiteral("Descrizione")}});
    m_grid = new DataGrid(model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    layout->addWidget(m_grid, 1);
    InputConventions::connectHelpButton(aiuto);
    connect(avantiButton, &QPushButton::clicked, this, &TfrmImportaPagamento::avanti);
    connect(indietroButton, &QPushButton::clicked, this, &TfrmImportaPagamento::indietro);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmImportaPagamento::avanti);
    resize(380, 420);
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

TfrmPagamentiContatto::TfrmPagamentiContatto(Tform_DB &db, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_db(db)
{
    setObjectName(QStringLiteral("frmPagamentiContatto"));
    setWindowTitle(QStringLiteral("Pagamenti per Contatto"));
    setHelpContext(this, 6000);
    m_binder = new FieldBinder(m_db.TablePagamenti, this);
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
    auto *picker = new QToolButton(this);
    picker->setObjectName(QStringLiteral("BitBtn1"));
    picker->setText(QStringLiteral("…"));
    picker->setToolTip(QStringLiteral("Scegli un tipo di pagamento"));
    picker->setFocusPolicy(Qt::NoFocus);
    descrizioneRow->addWidget(picker);
    form->addRow(QStringLiteral("Descrizione"), descrizioneRow);
    m_importo = new QLineEdit(this);
    m_importo->setObjectName(QStringLiteral("DBEdit2"));
    m_binder->bindAmount(m_importo, QStringLiteral("Importo"));
    form->addRow(QStringLiteral("Importo"), m_importo);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    auto *salvaButton = new QPushButton(QStringLiteral("Salva"), this);
    salvaButton->setObjectName(QStringLiteral("spdSalva"));
    salvaButton->setToolTip(QStringLiteral("Sava le modifiche effettuate"));
    salvaButton->hide();
    auto *indietroButton = new QPushButton(QStringLiteral("Indietro"), this);
    indietroButton->setObjectName(QStringLiteral("spdIndietro"));
    indietroButton->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(salvaButton);
    buttons->addWidget(indietroButton);
    layout->addLayout(buttons);
    setTabOrder(m_data, m_descrizione);
    setTabOrder(m_descrizione, m_importo);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    connect(conventions, &InputConventions::edited, this, [this] { modified = true; });
    connect(m_binder, &FieldBinder::edited, this, [this] { modified = true; });
    connect(picker, &QToolButton::clicked, this, &TfrmPagamentiContatto::importaDescrizione);
    connect(salvaButton, &QPushButton::clicked, this, &TfrmPagamentiContatto::salva);
    connect(indietroButton, &QPushButton::clicked, this, &TfrmPagamentiContatto::indietro);
    resize(420, 160);
}

void TfrmPagamentiContatto::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_binder->refresh();
    m_data->setFocus();
}

void TfrmPagamentiContatto::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return; // leaving goes through "Indietro", which saves
    QDialog::keyPressEvent(event);
}

void TfrmPagamentiContatto::salva()
{
    saveRefused = false;
    const MissingPaymentField missing =
        firstMissingPaymentField(m_data->text().trimmed(), m_importo->text().trimmed(), m_descrizione->text());
    if (missing != MissingPaymentField::None) {
        dialogs().error(missingPaymentMessage(missing));
        saveRefused = true;
        (missing == MissingPaymentField::Date       ? m_data
         : missing == MissingPaymentField::Amount ? m_importo
                                                    : m_descrizione)
            ->setFocus();
        return;
    }
    QWidget *wrong = nullptr;
    if (db::Status typed = m_binder->commit(&wrong); !typed) {
        dialogs().error(typed.message());
        saveRefused = true;
        if (wrong)
            wrong->setFocus();
        return;
    }
    if (!SalvaRecord(m_db.TablePagamenti, QStringLiteral("Id"))) {
        saveRefused = true;
        return;
    }
    modified = false;
}

void TfrmPagamentiContatto::indietro()
{
    if (modified)
        salva();
    if (!saveRefused)
        accept();
}

void TfrmPagamentiContatto::importaDescrizione()
{
    if (!m_picker)
        return;
    dialogs().showModal(m_picker);
    if (m_picker->cancelled)
        return;
    (void)m_db.TablePagamenti.setValue(u"Descrizione", m_db.TableTipoPagamenti.value(u"Descrizione"));
    m_binder->refresh(QStringLiteral("Descrizione"));
    modified = true;
}
