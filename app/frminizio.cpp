#include "app/frminizio.h"

#include "about/frmrealizzazione.h"
#include "agenda/windows/frmgrigliacalendario.h"
#include "app/frmpass.h"
#include "app/frmpromemoriascadenze.h"
#include "app/program.h"
#include "app/serverpassword.h"
#include "app/startup.h"
#include "common/dialogs.h"
#include "common/gridlayout.h"
#include "common/widgets/waitcursor.h"
#include "contacts/windows/frmcontatti.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "notices/windows/frmavvisiclienti_campi.h"
#include "notices/windows/frmgrigliaavvisi.h"
#include "options/adminpassword.h"
#include "options/windows/frmopzioni.h"
#include "reference/windows/categorie.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "reference/windows/frmtrovacap.h"
#include "reference/windows/lookupwindows.h"
#include "schema/archivecreator.h"
#include "session/archivelocation.h"
#include "session/datamodule.h"
#include "session/reporthandoff.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kLater = QStringLiteral("Disponibile in una prossima versione del programma.");

QIcon glyphIcon(const QString &glyph, const QColor &colour)
{
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(4, 4, 88, 88), 18, 18);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(54);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

} // namespace

TfrmInizio::TfrmInizio(Program &program) : m_program(program)
{
    setObjectName(QStringLiteral("frmInizio"));
    setWindowTitle(QStringLiteral("Calvetra"));
    setProperty("helpContext", 1000);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName(QStringLiteral("pgcBarra"));
    m_tabs->addTab(buildArchivioTab(), QStringLiteral("Archivio  "));
    m_tabs->addTab(buildAttivitaTab(), QStringLiteral("Attività"));
    m_tabs->addTab(buildStampeTab(), QStringLiteral("Stampe  "));
    layout->addWidget(m_tabs, 3);

    m_birthdays = new QPlainTextEdit(central);
    m_birthdays->setObjectName(QStringLiteral("Memo2"));
    m_birthdays->setToolTip(QStringLiteral("Compleanni del mese"));
    layout->addWidget(m_birthdays, 1);

    auto *bottom = new QHBoxLayout;
    m_path = new QPlainTextEdit(central);
    m_path->setObjectName(QStringLiteral("Memo1"));
    m_path->setMaximumHeight(m_path->fontMetrics().height() * 2 + 12);
    m_path->setToolTip(QStringLiteral("Archivio in uso"));
    bottom->addWidget(m_path, 1);
    auto *esci = new QPushButton(QStringLiteral("Esci"), central);
    esci->setObjectName(QStringLiteral("SpeedButton8"));
    connect(esci, &QPushButton::clicked, this, [this] { terminate(); });
    bottom->addWidget(esci);
    layout->addLayout(bottom);

    setCentralWidget(central);
    resize(860, 620);
    connectReferenceButtons();
}

// The lists of the reference tables open beside this window (brought forward when they are
// open already); the appointment types' list opens modally.
void TfrmInizio::connectReferenceButtons()
{
    const auto beside = [](QWidget *window) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    };
    const std::pair<const char *, std::function<void()>> buttons[] = {
        {"btnCategorie", [=, this] { beside(&m_program.frmCategorieContattiGriglia()); }},
        {"btnProfessioni", [=, this] { beside(&m_program.frmGrigliaProfessioni()); }},
        {"btnTitoli", [=, this] { beside(&m_program.frmGrigliaTitoli()); }},
        {"btnModalitaPagamento", [=, this] { beside(&m_program.frmGrigliaTipoPagamenti()); }},
        {"btnComuni", [=, this] { beside(&m_program.frmGrigliaComuni()); }},
        {"btnTipoCalendario",
         [this] { dialogs().showModal(&m_program.frmGrigliaTipologieCalendario()); }},
        {"btnClienti", [this] { btnClientiClick(); }},
        {"btnCalendario", [this] { dialogs().showModal(&m_program.frmGrigliaCalendario()); }},
        {"btnArchivioAvvisi", [this] { btnArchivioAvvisiClick(); }},
        {"btnAttivitaAvvisiClienti", [this] { m_program.frmAvvisiClientiCampi().apri(); }},
        {"btnAttivitaOpzioni", [this] { m_program.frmOpzioni().apri(); }},
        {"btnUtilityRealizzazione", [=, this] { beside(&m_program.frmRealizzazione()); }},
        {"btnAttivitaCopia", [this] { btnCopiaDiSicurezzaClick(); }},
    };
    for (const auto &[name, open] : buttons) {
        auto *button = findChild<QToolButton *>(QString::fromLatin1(name));
        button->setEnabled(true);
        button->setToolTip(QString());
        connect(button, &QToolButton::clicked, this, open);
    }
}

void TfrmInizio::btnClientiClick()
{
    TfrmContatti &list = m_program.frmContatti();
    list.reset();
    dialogs().showModal(&list);
}

void TfrmInizio::btnArchivioAvvisiClick()
{
    TfrmGrigliaAvvisi &list = m_program.frmGrigliaAvvisi();
    list.reset();
    dialogs().showModal(&list);
    list.reset();
}

void TfrmInizio::btnCopiaDiSicurezzaClick()
{
    const QString archive = m_program.formDb().Connessione().location();
    if (archive.isEmpty()) {
        dialogs().error(QStringLiteral("L'archivio non è aperto."));
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString name = QStringLiteral("archivio-copia-%1.sqlite")
                             .arg(db::clock::today().toString(QStringLiteral("yyyy-MM-dd")));
    if (const QString advice = db::backupAdvice(archive, QDir(folder).filePath(name), false);
        !advice.isEmpty()) {
        dialogs().information(advice, QStringLiteral("Copia di sicurezza"));
        return;
    }
    const QString copy = dialogs().chooseSaveFile(
        QStringLiteral("Copia di sicurezza dell'archivio"),
        QStringLiteral("Archivio (*.sqlite);;Tutti i file (*)"), QDir(folder).filePath(name));
    if (copy.isEmpty())
        return;
    db::Status written;
    {
        const WaitCursor wait;
        written = db::backupArchive(archive, copy);
    }
    if (!written) {
        dialogs().error(written.message());
        return;
    }
    dialogs().information(QStringLiteral("Copia di sicurezza scritta e controllata:\n") + copy,
                          QStringLiteral("Copia di sicurezza"));
}

QToolButton *TfrmInizio::pictureButton(QWidget *parent, const QString &name, const QString &caption,
                                       const QString &glyph, const QColor &colour)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(glyphIcon(glyph, colour));
    button->setIconSize(QSize(56, 56));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setMinimumSize(120, 96);
    button->setAutoRaise(true);
    return button;
}

QWidget *TfrmInizio::buildArchivioTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    struct Entry
    {
        const char *name;
        const char *caption;
        const char *glyph;
        QColor colour;
    };
    const Entry entries[] = {
        {"btnClienti", "Contatti", "\u260E", QColor(0x1e, 0x6f, 0xb8)},
        {"btnCalendario", "Calendario", "\u2637", QColor(0xc0, 0x39, 0x2b)},
        {"btnArchivioAvvisi", "Avvisi", "\u2709", QColor(0x8e, 0x44, 0xad)},
        {"btnCategorie", "Categorie", "\u25A6", QColor(0x27, 0xae, 0x60)},
        {"btnProfessioni", "Professioni", "\u2692", QColor(0xd3, 0x54, 0x00)},
        {"btnTitoli", "Titoli", "\u2655", QColor(0x7f, 0x8c, 0x8d)},
        {"btnComuni", "Comuni", "\u2302", QColor(0x16, 0xa0, 0x85)},
        {"btnTipoCalendario", "Tipo Calendario", "\u25F7", QColor(0xc0, 0x39, 0x2b)},
        {"btnModalitaPagamento", "Tipo Pagamenti", "\u20AC", QColor(0xf3, 0x9c, 0x12)},
    };
    int i = 0;
    for (const Entry &e : entries) {
        QToolButton *b =
            pictureButton(page, QString::fromLatin1(e.name), QString::fromUtf8(e.caption),
                          QString::fromUtf8(e.glyph), e.colour);
        b->setEnabled(false);
        b->setToolTip(kLater);
        grid->addWidget(b, i / 5, i % 5);
        ++i;
    }
    return page;
}

QWidget *TfrmInizio::buildAttivitaTab()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    const QList<std::tuple<QString, QString, QString, QColor>> entries = {
        {QStringLiteral("btnAttivitaAvvisiClienti"), QStringLiteral("Avvisi Contatti"),
         QStringLiteral("\u270D"), QColor(0x8e, 0x44, 0xad)},
        {QStringLiteral("btnAttivitaOpzioni"), QStringLiteral("Opzioni"), QStringLiteral("\u2699"),
         QColor(0x34, 0x49, 0x5e)},
        {QStringLiteral("btnUtilityRealizzazione"), QStringLiteral("Realizzazione"),
         QStringLiteral("\u2139"), QColor(0x7f, 0x8c, 0x8d)},
        {QStringLiteral("btnAttivitaCopia"), QStringLiteral("Copia di sicurezza"),
         QStringLiteral("\u21E9"), QColor(0x1d, 0x5a, 0x4e)},
    };
    int i = 0;
    for (const auto &[name, caption, glyph, colour] : entries) {
        QToolButton *b = pictureButton(page, name, caption, glyph, colour);
        b->setEnabled(false);
        b->setToolTip(kLater);
        grid->addWidget(b, 0, i++);
    }
    grid->setRowStretch(1, 1);
    return page;
}

QWidget *TfrmInizio::buildStampeTab()
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Altro"), page);
    auto *grid = new QGridLayout(group);
    const QList<std::tuple<QString, QString, ReportKind, QString>> entries = {
        {QStringLiteral("btnStampeAgenda"), QStringLiteral("Agenda"), ReportKind::ContactBook,
         QStringLiteral("\u2630")},
        {QStringLiteral("btnStampeCategorie"), QStringLiteral("Categorie"),
         ReportKind::ContactsByCategory, QStringLiteral("\u25A6")},
        {QStringLiteral("btnStampePagamenti"), QStringLiteral("Pagamenti"), ReportKind::Payments,
         QStringLiteral("\u20AC")},
        {QStringLiteral("btnStampeEtichetteContatti"), QStringLiteral("Etichette Contatti"),
         ReportKind::ContactLabels, QStringLiteral("\u2709")},
        {QStringLiteral("btnStampeEtichetteAzienda"), QStringLiteral("Etichette Azienda"),
         ReportKind::CompanyLabels, QStringLiteral("\u2302")},
    };
    int i = 0;
    for (const auto &[name, caption, kind, glyph] : entries) {
        QToolButton *b = pictureButton(group, name, caption, glyph, QColor(0x2c, 0x3e, 0x50));
        b->setToolTip(QStringLiteral("Stampa: ") + caption);
        connect(b, &QToolButton::clicked, this, [this, k = kind] { print(k); });
        grid->addWidget(b, 0, i++);
    }
    outer->addWidget(group);
    outer->addStretch();
    return page;
}

void TfrmInizio::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, &TfrmInizio::FormActivate);
}

void TfrmInizio::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    QApplication::quit();
}

void TfrmInizio::terminate()
{
    m_terminate = true;
    QCoreApplication::exit(0);
    hide();
}

QStringList TfrmInizio::birthdays() const
{
    const QString text = m_birthdays->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void TfrmInizio::FormActivate()
{
    if (m_startupDone || m_starting || m_terminate)
        return;
    m_starting = true;
    for (;;) {
        db::Status error;
        Outcome outcome = startUntilScratchCleared(&error);
        // A failure after the scratch rows are cleared is treated the same way: the program
        // must not go on without its password check or with the data sets of every workstation.
        if (outcome == Outcome::Done)
            outcome = finishStartup(&error);
        if (outcome == Outcome::Done)
            break;
        if (outcome == Outcome::Terminate) {
            m_starting = false;
            terminate();
            return;
        }
        dialogs().error(error.message());
        // A fault that persists would otherwise come back at every activation.
        if (!dialogs().confirm(QStringLiteral("Riprovare?"))) {
            m_starting = false;
            terminate();
            return;
        }
    }
    m_startupDone = true;
    m_starting = false;
    showReminders();
}

TfrmInizio::Outcome TfrmInizio::startUntilScratchCleared(db::Status *error)
{
    m_path->clear();
    db::Result<ArchiveLocation> location = locateArchive(m_program.programFolder());
    if (!location) {
        *error = location.error();
        return Outcome::Failed;
    }
    m_path->setPlainText(location->archive);
    const bool onServer = db::isServerLocation(location->archive);
    db::setPasswordPrompt(askServerPassword);
    if (!onServer && !QFileInfo::exists(location->archive)) {
        // A newcomer's first start gets its archive without a question; a path somebody wrote
        // into percorso.txt may be a typing error, so it is asked first.
        if (!location->isDefault &&
            !dialogs().confirm(QStringLiteral("L'archivio %1 non esiste. Crearne uno nuovo?")
                                   .arg(location->archive)))
            return Outcome::Terminate;
        if (db::Status created = schema::createArchive(location->archive); !created) {
            *error = created;
            return Outcome::Failed;
        }
    }
    db::ArchiveConnection &connection = m_program.formDb().Connessione();
    if (db::Status opened = connection.open(location->archive); !opened) {
        *error = opened;
        return Outcome::Failed;
    }
    bool updated = false;
    // The update script lies beside the archive file, or beside the program for a server.
    const QString scriptFolder =
        onServer ? m_program.programFolder() : QFileInfo(location->archive).absolutePath();
    if (db::Status script = runUpdateScript(connection, scriptFolder, &updated); !script) {
        *error = script;
        return Outcome::Failed;
    }
    if (updated) {
        if (db::Status reopened = connection.open(location->archive); !reopened) {
            *error = reopened;
            return Outcome::Failed;
        }
    }
    if (db::Status cleared = clearScratchRows(connection, m_program.formDb().computerName());
        !cleared) {
        *error = cleared;
        return Outcome::Failed;
    }
    return Outcome::Done;
}

TfrmInizio::Outcome TfrmInizio::finishStartup(db::Status *error)
{
    Tform_DB &m = m_program.formDb();
    m.TableOpzioni.close();
    if (db::Status opened = m.TableOpzioni.open(); !opened) {
        *error = opened;
        return Outcome::Failed;
    }
    const QString password = m.TableOpzioni.asString(u"PasswordAmministratore");
    if (!password.isEmpty()) {
        TfrmPass &prompt = m_program.frmPass();
        prompt.clear();
        dialogs().showModal(&prompt);
        if (!passwordMatches(password, prompt.password()))
            return Outcome::Terminate;
    }
    m.TableDitta.close();
    if (db::Status opened = m.TableDitta.open(); !opened) {
        *error = opened;
        return Outcome::Failed;
    }
    showCompanyName();

    if (db::Status reopened = m.reopenSharedDataSets(); !reopened) {
        *error = reopened;
        return Outcome::Failed;
    }
    db::Result<db::RowSet> born = m.Connessione().run(birthdaySql(db::clock::today()));
    if (!born) {
        *error = born.error();
        return Outcome::Failed;
    }
    // Filled once per run, also after a retry; in one piece, not a paragraph at a time (a large
    // archive has thousands of birthdays in a month). On screen it ends at the last line, as it
    // does when the lines are added one by one.
    m_birthdays->setPlainText(birthdayLines(*born, db::clock::today()).join(u'\n'));
    if (m_birthdays->isVisible())
        m_birthdays->verticalScrollBar()->setValue(m_birthdays->verticalScrollBar()->maximum());

    // The grids whose layout this workstation keeps, in this order. A layout that cannot be
    // stored has been reported and leaves the grid as designed.
    const std::pair<QString, DataSetModel *> layouts[] = {
        {QStringLiteral("frmContatti"), m_program.frmContatti().gridModel()},
        {QStringLiteral("frmGrigliaComuni"), &m_program.frmGrigliaComuni().gridModel()},
        {QStringLiteral("frmTrovaCap"), &m_program.frmTrovaCap().gridModel()},
        {QStringLiteral("frmGrigliaCalendario"), &m_program.frmGrigliaCalendario().gridModel()},
        {QStringLiteral("frmGrigliaAvvisi"), &m_program.frmGrigliaAvvisi().gridModel()},
    };
    for (const auto &[name, grid] : layouts)
        (void)RipristinaLayout(name, *grid, m.TableGriglie, false, m.computerName());
    return Outcome::Done;
}

void TfrmInizio::showCompanyName()
{
    setWindowTitle(QStringLiteral("Calvetra - ") +
                   m_program.formDb().TableDitta.asString(u"RagSoc"));
}

void TfrmInizio::showReminders()
{
    Tform_DB &m = m_program.formDb();
    db::Result<db::RowSet> due = m.Connessione().run(reminderSql(db::clock::today()));
    if (!due) {
        dialogs().error(due.message());
        return;
    }
    TfrmPromemoriaScadenze &reminders = m_program.frmPromemoriaScadenze();
    reminders.setGrid(reminderGrid(*due));
    if (!due->rows.isEmpty()) {
        raise();
        activateWindow();
        dialogs().showModal(&reminders);
    }
}

void TfrmInizio::print(ReportKind kind)
{
    setReportKind(kind);
    Button1Click();
}

void TfrmInizio::Button1Click()
{
    if (db::Status written =
            writePrintJob(m_program.formDb(), m_reportKind, m_program.programFolder());
        !written) {
        dialogs().error(written.message());
        return;
    }
    QThread::msleep(150);
    const QString runner = runnerPath(m_program.programFolder());
    if (!QFileInfo(runner).isExecutable() ||
        !QProcess::startDetached(runner, {}, m_program.programFolder()))
        dialogs().error(QStringLiteral("Impossibile avviare il programma di stampa: ") + runner);
}
