#include "options/windows/frmopzioni.h"

#include "common/dialogs.h"
#include "common/officeca.h"
#include "common/widgets/datasetcombobox.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "common/widgets/waitcursor.h"
#include "dav/davclient.h"
#include "dav/discovery.h"
#include "options/adminpassword.h"
#include "options/optionsstore.h"
#include "options/smtpsecurity.h"
#include "options/windows/logopage.h"
#include "options/windows/secretfield.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kPasswordColumn = QStringLiteral("PasswordAmministratore");

QVariant textValue(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

TfrmOpzioni::TfrmOpzioni(OptionsStore &store) : m_store(store)
{
    setObjectName(QStringLiteral("frmOpzioni"));
    setWindowTitle(QStringLiteral("Opzioni"));
    setHelpContext(this, 16000);

    auto *layout = new QVBoxLayout(this);
    const DetailToolbar toolbar = makeDetailToolbar(this, true);
    layout->addWidget(toolbar.bar);
    connect(toolbar.salva, &QToolButton::clicked, this, &TfrmOpzioni::spdSalvaClick);
    connect(toolbar.indietro, &QToolButton::clicked, this, &TfrmOpzioni::spdIndietroClick);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->addTab(buildGenerale(), QStringLiteral("   Generale   "));
    m_logo = new LogoPage(m_tabs);
    m_tabs->addTab(m_logo, QStringLiteral("  Logo    "));
    m_emailTab = buildEmail();
    m_tabs->addTab(m_emailTab, QStringLiteral("  Email  "));
    QWidget *sync = buildSync();
    // F1 on this tab opens its own part of the options' page.
    sync->setProperty("helpContext", 16050);
    m_tabs->addTab(sync, QStringLiteral("  Sincronizzazione  "));
    m_davTest = new WorkerThread(this);
    layout->addWidget(m_tabs, 1);
    resize(820, 520);

    InputConventions *conventions = InputConventions::attach(this, InputConventions::Kind::Detail);
    conventions->markAsLookup(m_exportFormat, [this] {
        m_options.set(QStringLiteral("TipoEsportazione"), QVariant());
        m_options.set(QStringLiteral("EstensioneEsportazione"), QVariant());
    });
    // What is typed here is compared with what the start-up prompt reads, which writes an
    // apostrophe as "´".
    InputConventions::replaceApostrophes(m_password);
    InputConventions::replaceApostrophes(m_passwordAgain);
}

QLineEdit *TfrmOpzioni::textField(QWidget *parent, const QString &name, int maxLength,
                                  RowChanges *changes, const QString &column)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    connect(edit, &QLineEdit::textEdited, this,
            [changes, column](const QString &text) { changes->set(column, textValue(text)); });
    m_texts.append({edit, changes, column});
    return edit;
}

QCheckBox *TfrmOpzioni::checkField(QWidget *parent, const QString &name, const QString &caption,
                                   const QString &column)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->installEventFilter(this);
    // clicked: only the user's changes, by mouse or keyboard.
    connect(box, &QCheckBox::clicked, this,
            [this, column](bool checked) { m_options.set(column, checked); });
    m_checks.append({box, column});
    return box;
}

QWidget *TfrmOpzioni::buildGenerale()
{
    auto *page = new QWidget;
    auto *columns = new QHBoxLayout(page);
    auto *form = new QFormLayout;
    columns->addLayout(form, 1);

    m_password = new SecretField(page);
    m_password->setObjectName(QStringLiteral("DBEdit2"));
    m_password->setMaxLength(50);
    m_password->setToolTip(QStringLiteral("Lasciare vuoto perché il programma non chieda una "
                                          "password all'avvio"));
    form->addRow(QStringLiteral("Password Amministratore"), m_password);
    // A new password is typed twice: one typing error would otherwise lock the office out.
    m_passwordAgain = new SecretField(page);
    m_passwordAgain->setObjectName(QStringLiteral("DBEdit2Ripeti"));
    m_passwordAgain->setMaxLength(50);
    m_passwordAgain->setToolTip(QStringLiteral("La nuova password, scritta una seconda volta"));
    form->addRow(QStringLiteral("Ripeti la password"), m_passwordAgain);

    QCheckBox *printer =
        checkField(page, QStringLiteral("DBCheckBox1"),
                   QStringLiteral("Utilizza nelle stampe direttamente la Stampante di Default"),
                   QStringLiteral("StampanteDefault"));
    printer->setToolTip(
        QStringLiteral("Se abilitato, non viene richiesta quale stampante utilizzare"));
    form->addRow(printer);
    form->addRow(checkField(page, QStringLiteral("DBCheckBox14"),
                            QStringLiteral("Stampa Etichette Piccole"),
                            QStringLiteral("EtichettePiccole")));

    m_exportFormat =
        new DataSetComboBox(m_store.TableTipoEsportazioniCrystalReport, QStringLiteral("Numero"),
                            QStringLiteral("Descrizione"), page);
    m_exportFormat->setObjectName(QStringLiteral("DBLookupComboBox18"));
    connect(m_exportFormat, &DataSetComboBox::chosen, this, &TfrmOpzioni::exportFormatChosen);
    form->addRow(QStringLiteral("Formato di esportazione"), m_exportFormat);

    m_vcardAction = new QComboBox(page);
    m_vcardAction->setObjectName(QStringLiteral("cmbAzioneImportazioneVCard"));
    m_vcardAction->addItems({QStringLiteral("Chiedi conferma"), QStringLiteral("Salta il record"),
                             QStringLiteral("Aggiorna automaticamente")});
    connect(m_vcardAction, &QComboBox::activated, this, [this](int index) {
        m_options.set(QStringLiteral("AzioneImportazioneVCard"), qlonglong(index));
    });
    form->addRow(QStringLiteral("Azione Importazione VCard su duplicati"), m_vcardAction);

    columns->addWidget(buildCompany(page), 1);
    return page;
}

QWidget *TfrmOpzioni::buildCompany(QWidget *parent)
{
    auto *group = new QGroupBox(QStringLiteral("Dati della ditta"), parent);
    auto *form = new QFormLayout(group);
    const std::tuple<const char *, const char *, int> fields[] = {
        {"RagSoc", "Ragione Sociale", 255},
        {"Via", "Via", 255},
        {"Numero", "Numero", 20},
        {"Cap", "Cap", 10},
        {"Comune", "Comune", 100},
        {"Provincia", "Provincia", 2},
        {"PIva", "Partita IVA", 20},
        {"CodFisc", "Codice Fiscale", 16},
        {"Tel", "Telefono", 50},
        {"Fax", "Fax", 50},
        {"Cell", "Cellulare", 50},
        {"Email", "Email", 255},
        {"Internet", "Internet", 255},
    };
    for (const auto &[column, label, length] : fields) {
        const QString name = QString::fromLatin1(column);
        form->addRow(QString::fromUtf8(label),
                     textField(group, QStringLiteral("edt") + name, length, &m_company, name));
    }
    return group;
}

QWidget *TfrmOpzioni::buildEmail()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Parametri Smtp"), page);
    layout->addWidget(group);
    layout->addStretch();
    auto *form = new QFormLayout(group);

    form->addRow(
        QStringLiteral("Nome Server SMTP"),
        textField(group, QStringLiteral("DBEdit24"), 255, &m_options, QStringLiteral("SmtpHost")));
    form->addRow(QStringLiteral("Email Mittente"),
                 textField(group, QStringLiteral("DBEdit26"), 255, &m_options,
                           QStringLiteral("SmtpMittenteEmail")));
    m_smtpUser = textField(group, QStringLiteral("DBEdit29"), 255, &m_options,
                           QStringLiteral("SmtpUserName"));
    form->addRow(QStringLiteral("Username"), m_smtpUser);
    m_smtpPassword = new SecretField(group);
    m_smtpPassword->setObjectName(QStringLiteral("DBEdit27"));
    m_smtpPassword->setMaxLength(255);
    form->addRow(QStringLiteral("Password"), m_smtpPassword);

    m_port = new QLineEdit(group);
    m_port->setObjectName(QStringLiteral("DBEdit30"));
    m_port->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), m_port));
    connect(m_port, &QLineEdit::textEdited, this, [this] { m_portEdited = true; });
    form->addRow(QStringLiteral("Porta"), m_port);

    m_authentication = checkField(group, QStringLiteral("DBCheckBox17"),
                                  QStringLiteral("Autenticazione Server Necessaria"),
                                  QStringLiteral("SmtpAutenticazioneServer"));
    form->addRow(m_authentication);

    m_security = new QComboBox(group);
    m_security->setObjectName(QStringLiteral("cmbSmtpCriptaggioTipo"));
    m_security->addItems(smtpSecurityCaptions());
    m_security->setToolTip(QStringLiteral("Come proteggere il collegamento con il server: la "
                                          "porta 465 usa SSL/TLS, la porta 587 STARTTLS"));
    connect(m_security, &QComboBox::activated, this, &TfrmOpzioni::securityChosen);
    form->addRow(QStringLiteral("Tipo Criptaggio"), m_security);

    // A mail server whose certificate the office signed itself is refused until its
    // authority is trusted here, on every workstation at once.
    auto *authority =
        new QGroupBox(QStringLiteral("Autorità di certificazione dell'ufficio"), page);
    layout->insertWidget(1, authority);
    auto *row = new QHBoxLayout(authority);
    m_officeCaState = new QLabel(authority);
    m_officeCaState->setObjectName(QStringLiteral("lblCertificatoCA"));
    m_officeCaState->setWordWrap(true);
    row->addWidget(m_officeCaState, 1);
    auto *choose = new QPushButton(QStringLiteral("Scegli…"), authority);
    choose->setObjectName(QStringLiteral("btnCertificatoCA"));
    choose->setToolTip(QStringLiteral("Il file PEM dell'autorità che ha firmato il certificato "
                                      "del server di posta dell'ufficio"));
    connect(choose, &QPushButton::clicked, this, &TfrmOpzioni::chooseOfficeCa);
    row->addWidget(choose);
    auto *drop = new QPushButton(QStringLiteral("Togli"), authority);
    drop->setObjectName(QStringLiteral("btnTogliCertificatoCA"));
    connect(drop, &QPushButton::clicked, this, &TfrmOpzioni::dropOfficeCa);
    row->addWidget(drop);
    return page;
}

QWidget *TfrmOpzioni::buildSync()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Server dei telefoni (CardDAV e CalDAV)"), page);
    layout->addWidget(group);
    auto *note = new QLabel(
        QStringLiteral("Il server che tiene la rubrica e il calendario dei telefoni dell'ufficio: "
                       "l'indirizzo che si dà ai telefoni (o quello della rubrica stessa), "
                       "l'utente e la password. Il certificato del server è sempre verificato, "
                       "anche con l'autorità dell'ufficio scelta nella pagina Email."),
        page);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch();
    auto *form = new QFormLayout(group);
    const auto edited = [this] { m_davEdited = true; };
    m_davServer = new QLineEdit(group);
    m_davServer->setObjectName(QStringLiteral("edtDavServer"));
    m_davServer->setPlaceholderText(QStringLiteral("https://dav.esempio.it/"));
    connect(m_davServer, &QLineEdit::textEdited, this, edited);
    form->addRow(QStringLiteral("Indirizzo del server"), m_davServer);
    m_davUser = new QLineEdit(group);
    m_davUser->setObjectName(QStringLiteral("edtDavUtente"));
    connect(m_davUser, &QLineEdit::textEdited, this, edited);
    form->addRow(QStringLiteral("Utente"), m_davUser);
    m_davPassword = new SecretField(group);
    m_davPassword->setObjectName(QStringLiteral("edtDavPassword"));
    m_davPassword->setMaxLength(255);
    form->addRow(QStringLiteral("Password"), m_davPassword);
    auto *test = new QPushButton(QStringLiteral("Prova"), group);
    test->setObjectName(QStringLiteral("btnDavProva"));
    test->setToolTip(QStringLiteral("Cerca sul server la rubrica e il calendario, senza cambiare "
                                    "nulla"));
    connect(test, &QPushButton::clicked, this, &TfrmOpzioni::testSync);
    m_davResult = new QLabel(group);
    m_davResult->setObjectName(QStringLiteral("lblDavProva"));
    m_davResult->setWordWrap(true);
    m_davResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(test, m_davResult);
    return page;
}

void TfrmOpzioni::testSync()
{
    if (m_davTest->isRunning())
        return;
    dav::DavSettings settings;
    settings.server = m_davServer->text().trimmed();
    settings.user = m_davUser->text().trimmed();
    settings.password = m_davPassword->isEdited() ? m_davPassword->text() : m_storedDavPassword;
    if (m_officeCa)
        settings.officeCa = *m_officeCa;
    else if (const db::Result<QByteArray> stored = m_store.officeCa(); stored)
        settings.officeCa = *stored;
    if (settings.server.isEmpty()) {
        m_davResult->setText(QStringLiteral("Scrivere l'indirizzo del server."));
        Q_EMIT syncTested(m_davResult->text());
        return;
    }
    m_davResult->setText(QStringLiteral("Ricerca sul server…"));
    m_davTest->start([this, settings](const std::atomic_bool &stop) -> std::function<void()> {
        dav::DavClient client(settings);
        client.setKeepGoing([&stop] { return !stop.load(); });
        const db::Result<dav::Collections> found =
            dav::discoverCollections(client, dav::serverUrl(settings.server), false);
        const QString message = found ? dav::describeCollections(*found) : found.message();
        return [this, message] {
            m_davResult->setText(message);
            Q_EMIT syncTested(message);
        };
    });
}

void TfrmOpzioni::chooseOfficeCa()
{
    const QString file = dialogs().chooseOpenFile(
        QStringLiteral("Autorità di certificazione dell'ufficio"),
        QStringLiteral("Certificati PEM (*.pem *.crt *.cer);;Tutti i file (*)"), QDir::homePath());
    if (file.isEmpty())
        return;
    QFile in(file);
    // A certificate file is a few kilobytes; anything far larger is not one.
    if (!in.open(QIODevice::ReadOnly) || in.size() > 1024 * 1024) {
        dialogs().error(QStringLiteral("Impossibile leggere il file %1: %2")
                            .arg(QDir::toNativeSeparators(file),
                                 in.isOpen() ? QStringLiteral("è troppo grande per un certificato.")
                                             : in.errorString()));
        return;
    }
    const QByteArray pem = in.readAll();
    if (db::Result<int> read = officeCaCertificates(pem); !read) {
        dialogs().error(
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), read.message()));
        return;
    }
    m_officeCa = pem;
    showOfficeCa(pem);
}

void TfrmOpzioni::dropOfficeCa()
{
    m_officeCa = QByteArray();
    showOfficeCa({});
}

void TfrmOpzioni::showOfficeCa(const QByteArray &pem)
{
    const db::Result<int> count = pem.isEmpty() ? db::Result<int>(0) : officeCaCertificates(pem);
    if (!count || *count == 0)
        m_officeCaState->setText(QStringLiteral("Nessuna: valgono le autorità del sistema."));
    else
        m_officeCaState->setText(
            (*count == 1 ? QStringLiteral("1 certificato")
                         : QStringLiteral("%1 certificati").arg(*count)) +
            QStringLiteral(", fidato da ogni postazione oltre alle autorità del sistema."));
}

bool TfrmOpzioni::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QCheckBox *>(watched)) {
        if (const int step = InputConventions::focusStep(static_cast<QKeyEvent *>(event))) {
            step > 0 ? focusNextChild() : focusPreviousChild();
            return true;
        }
    }
    return DetailWindow::eventFilter(watched, event);
}

void TfrmOpzioni::exportFormatChosen()
{
    const db::DataSet &formats = m_store.TableTipoEsportazioniCrystalReport;
    const QVariant number = formats.value(u"Numero");
    if (!number.isValid())
        return;
    m_options.set(QStringLiteral("TipoEsportazione"), number);
    m_options.set(QStringLiteral("EstensioneEsportazione"), formats.value(u"Estensione"));
}

void TfrmOpzioni::securityChosen(int index)
{
    const auto security = SmtpSecurity(index);
    m_options.remove(QStringLiteral("SmtpCriptato"));
    m_options.remove(QStringLiteral("SmtpCriptaggioTipo"));
    // Picking again what is stored writes nothing: the stored type may be an older value that
    // means the same.
    if (index != m_storedSecurity) {
        for (const auto &[column, value] : smtpSecurityColumns(security))
            m_options.set(column, value);
    }
    const QString port = smtpPortAfterChoice(security, m_port->text());
    if (port != m_port->text()) {
        m_port->setText(port);
        m_portEdited = true;
    }
}

bool TfrmOpzioni::hasUnsavedChanges() const
{
    return !m_options.isEmpty() || !m_company.isEmpty() || m_password->isEdited() ||
           m_passwordAgain->isEdited() || m_smtpPassword->isEdited() || m_portEdited ||
           m_logo->isChanged() || m_officeCa.has_value() || m_davEdited ||
           m_davPassword->isEdited();
}

bool TfrmOpzioni::saveAndClose()
{
    if (!save())
        return false;
    accept();
    return true;
}

void TfrmOpzioni::apri()
{
    if (!isVisible()) {
        if (db::Status read = m_store.reread(); !read) {
            dialogs().error(read.message());
            return;
        }
        load();
    }
    m_tabs->setCurrentIndex(0);
    show();
    raise();
    activateWindow();
}

void TfrmOpzioni::load()
{
    const db::DataSet &options = m_store.TableOpzioni;
    const db::DataSet &company = m_store.TableDitta;
    for (const auto &[edit, changes, column] : std::as_const(m_texts))
        edit->setText((changes == &m_options ? options : company).asString(column));
    for (const auto &[box, column] : std::as_const(m_checks))
        box->setChecked(options.asBoolean(column));

    m_storedPassword = options.asString(kPasswordColumn);
    m_password->showStored(!m_storedPassword.isEmpty());
    m_passwordAgain->showStored(false);
    m_smtpPassword->showStored(!options.asString(u"SmtpPassword").isEmpty());
    m_officeCa.reset();
    const db::Result<dav::StoredSettings> sync = m_store.syncSettings();
    const dav::StoredSettings stored = sync ? *sync : dav::StoredSettings{};
    m_davServer->setText(stored.server);
    m_davUser->setText(stored.user);
    m_storedDavPassword = stored.password;
    m_davPassword->showStored(!stored.password.isEmpty());
    m_davEdited = false;
    m_davResult->clear();
    const db::Result<QByteArray> authority = m_store.officeCa();
    showOfficeCa(authority ? *authority : QByteArray());
    m_exportFormat->setKey(options.value(u"TipoEsportazione"));
    // A value the list does not hold shows no item, and stays stored unless the user picks one.
    const QVariant action = options.value(u"AzioneImportazioneVCard");
    const qlonglong actionIndex = action.isValid() ? action.toLongLong() : -1;
    m_vcardAction->setCurrentIndex(
        actionIndex >= 0 && actionIndex < m_vcardAction->count() ? int(actionIndex) : -1);
    m_storedSecurity =
        int(smtpSecurity(options.value(u"SmtpCriptato"), options.value(u"SmtpCriptaggioTipo")));
    m_security->setCurrentIndex(m_storedSecurity);
    // The port the e-mail actually goes to, whatever the row holds (nothing, or 25 with
    // SSL/TLS): what is shown is what is used.
    const QVariant port = options.value(u"SmtpPorta");
    m_port->setText(QString::number(smtpEffectivePort(
        SmtpSecurity(m_storedSecurity), port.isValid() ? int(port.toLongLong()) : 0)));
    m_logo->showLogo(company.asBytes(u"Logo"));

    m_options.clear();
    m_company.clear();
    m_portEdited = false;
    // Leaving always runs the save and its checks; it writes only what changed.
    setModified(true);
}

void TfrmOpzioni::refuse(QWidget *field, const QString &message)
{
    dialogs().error(message);
    m_tabs->setCurrentWidget(m_emailTab);
    field->setFocus();
}

bool TfrmOpzioni::save()
{
    if (m_authentication->isChecked()) {
        if (m_smtpUser->text().trimmed().isEmpty()) {
            refuse(m_smtpUser,
                   QStringLiteral("Attenzione inserire l'Username di autenticazione del Server !"));
            return false;
        }
        if (m_smtpPassword->text().isEmpty()) {
            refuse(
                m_smtpPassword,
                QStringLiteral("Attenzione inserire la password di autenticazione del Server !"));
            return false;
        }
    }
    if (m_portEdited) {
        bool isNumber = false;
        const int port = m_port->text().toInt(&isNumber);
        if (!m_port->text().isEmpty() && (!isNumber || port > 65535)) {
            refuse(m_port, QStringLiteral("Attenzione la porta del Server deve essere un numero da "
                                          "0 a 65535 !"));
            return false;
        }
        m_options.set(QStringLiteral("SmtpPorta"),
                      m_port->text().isEmpty() ? QVariant() : QVariant(qlonglong(port)));
    }
    // A password sent without protection can be read on the way: said when the e-mail
    // settings that decide it are being stored.
    const bool smtpChanged = m_smtpPassword->isEdited() ||
                             m_options.contains(QStringLiteral("SmtpAutenticazioneServer")) ||
                             m_options.contains(QStringLiteral("SmtpCriptato")) ||
                             m_options.contains(QStringLiteral("SmtpHost")) ||
                             m_options.contains(QStringLiteral("SmtpUserName"));
    if (smtpChanged && m_authentication->isChecked() &&
        SmtpSecurity(m_security->currentIndex()) == SmtpSecurity::None) {
        if (!dialogs().confirmDefaultNo(
                QStringLiteral("Con il criptaggio «Nessuna» la password del server di posta "
                               "viaggia in chiaro e può essere letta lungo la strada. Salvare "
                               "comunque? (Meglio scegliere SSL/TLS o STARTTLS.)"))) {
            m_tabs->setCurrentWidget(m_emailTab);
            m_security->setFocus();
            return false;
        }
    }
    if (!collectPasswords())
        return false;
    if (m_logo->isChanged())
        m_company.set(QStringLiteral("Logo"),
                      m_logo->logo().isEmpty() ? QVariant() : QVariant(m_logo->logo()));

    std::optional<dav::StoredSettings> sync;
    if (m_davEdited || m_davPassword->isEdited())
        sync = dav::StoredSettings{m_davServer->text(), m_davUser->text(),
                                   m_davPassword->isEdited() ? m_davPassword->text()
                                                             : m_storedDavPassword};
    if (db::Status saved = m_store.save(m_options, m_company, m_officeCa, sync); !saved) {
        dialogs().error(saved.message());
        return false;
    }
    load();
    Q_EMIT saved();
    return true;
}

bool TfrmOpzioni::collectPasswords()
{
    if (m_smtpPassword->isEdited())
        m_options.set(QStringLiteral("SmtpPassword"), textValue(m_smtpPassword->text()));
    // A password typed here, or one an older archive keeps as text, is stored as its key.
    QString clear;
    if (m_password->isEdited()) {
        if (m_password->text().isEmpty()) {
            m_options.set(kPasswordColumn, QVariant());
            return true;
        }
        if (m_passwordAgain->text() != m_password->text()) {
            dialogs().error(QStringLiteral("Le due password scritte non sono uguali: la password "
                                           "non è stata cambiata. Riscriverla nei due campi."));
            m_tabs->setCurrentIndex(0);
            m_passwordAgain->clear();
            m_password->setFocus();
            m_password->selectAll();
            return false;
        }
        clear = m_password->text();
    } else if (isClearPassword(m_storedPassword)) {
        clear = m_storedPassword;
    } else {
        return true;
    }
    db::Result<QString> key = [&] {
        WaitCursor wait;
        return derivePasswordKey(clear);
    }();
    if (!key) {
        dialogs().error(key.message());
        return false;
    }
    m_options.set(kPasswordColumn, *key);
    return true;
}
