#include "app/frminizio.h"

#include "app/frmpass.h"
#include "app/frmpromemoriascadenze.h"
#include "app/serverpassword.h"
#include "common/dialogs.h"
#include "common/gridlayout.h"
#include "common/widgets/waitcursor.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "migration/archiveimport.h"
#include "migration/windows/frmimportazione.h"
#include "session/reporthandoff.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
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

TfrmInizio::TfrmInizio()
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

    auto *birthdaysTitle = new QLabel(QStringLiteral("Compleanni del mese"), central);
    birthdaysTitle->setObjectName(QStringLiteral("lblCompleanni"));
    layout->addWidget(birthdaysTitle);
    m_birthdays = new QPlainTextEdit(central);
    m_birthdays->setObjectName(QStringLiteral("Memo2"));
    m_birthdays->setToolTip(QStringLiteral("Compleanni del mese"));
    birthdaysTitle->setBuddy(m_birthdays);
    layout->addWidget(m_birthdays, 1);

    auto *bottom = new QHBoxLayout;
    m_path = new QPlainTextEdit(central);
    m_path->setObjectName(QStringLiteral("Memo1"));
    m_path->setMaximumHeight(m_path->fontMetrics().height() * 2 + 12);
    m_path->setToolTip(QStringLiteral("Archivio in uso"));
    bottom->addWidget(m_path, 1);
    auto *esci = new QPushButton(QStringLiteral("Esci"), central);
    esci->setObjectName(QStringLiteral("SpeedButton8"));
    connect(esci, &QPushButton::clicked, this, [this] {
        if (!m_links.mayQuit || m_links.mayQuit())
            terminate();
    });
    bottom->addWidget(esci);
    layout->addLayout(bottom);

    setCentralWidget(central);
    resize(860, 620);
}

void TfrmInizio::setLinks(MainWindowLinks links, std::unique_ptr<StartupSequence> sequence)
{
    m_links = std::move(links);
    m_sequence = std::move(sequence);
    connectReferenceButtons();
}

// The lists of the reference tables open beside this window (brought forward when they are
// open already); the appointment types' list opens modally.
void TfrmInizio::connectReferenceButtons()
{
    QList<std::pair<QString, std::function<void()>>> buttons = m_links.openers;
    buttons.append({QStringLiteral("btnAttivitaCopia"), [this] { btnCopiaDiSicurezzaClick(); }});
    buttons.append(
        {QStringLiteral("btnAttivitaRipristina"), [this] { btnRipristinaCopiaClick(); }});
    buttons.append({QStringLiteral("btnAttivitaWindows"), [this] { btnArchivioWindowsClick(); }});
    for (const auto &[name, open] : buttons) {
        auto *button = findChild<QToolButton *>(name);
        button->setEnabled(true);
        button->setToolTip(QString());
        connect(button, &QToolButton::clicked, this, open);
    }
}

void TfrmInizio::btnClientiClick()
{
    for (const auto &[name, open] : m_links.openers) {
        if (name == u"btnClienti")
            open();
    }
}

void TfrmInizio::btnCopiaDiSicurezzaClick()
{
    const QString archive = m_links.archiveLocation();
    if (archive.isEmpty()) {
        dialogs().error(QStringLiteral("L'archivio non è aperto."));
        return;
    }
    const QString folder = documentsFolder();
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

void TfrmInizio::btnRipristinaCopiaClick()
{
    if (!m_sequence || m_starting)
        return;
    const QString caption = QStringLiteral("Ripristina copia");
    const QString archive = m_links.archiveLocation();
    if (archive.isEmpty()) {
        dialogs().error(QStringLiteral("L'archivio non è aperto."));
        return;
    }
    const QString folder = documentsFolder();
    if (const QString advice =
            db::backupAdvice(archive, QDir(folder).filePath(QStringLiteral("copia.dump")), true);
        !advice.isEmpty()) {
        dialogs().information(advice, caption);
        return;
    }
    // The other windows show the archive as it is now, and some read it as they go.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && window->isWindow() &&
            !window->inherits("QMenu")) {
            dialogs().warning(QStringLiteral("Chiudere le altre finestre del programma prima di "
                                             "ripristinare una copia di sicurezza."));
            return;
        }
    }
    const QString copy =
        dialogs().chooseOpenFile(QStringLiteral("Copia di sicurezza da ripristinare"),
                                 QStringLiteral("Archivio (*.sqlite);;Tutti i file (*)"), folder);
    if (copy.isEmpty())
        return;
    db::Result<bool> restored = [&] {
        const WaitCursor wait;
        return m_sequence->restoreCopy(copy, [&] {
            QApplication::setOverrideCursor(Qt::ArrowCursor);
            const bool yes = dialogs().confirmDefaultNo(
                QStringLiteral("L'archivio %1 sarà sostituito dalla copia %2: ciò che è stato "
                               "scritto dopo la copia andrà perso. Continuare?")
                    .arg(QDir::toNativeSeparators(archive), QDir::toNativeSeparators(copy)));
            QApplication::restoreOverrideCursor();
            return yes;
        });
    }();
    if (!restored) {
        dialogs().error(restored.message());
        return;
    }
    if (!*restored)
        return;
    dialogs().information(
        QStringLiteral("Archivio ripristinato dalla copia %1.").arg(QDir::toNativeSeparators(copy)),
        caption);
    // The archive as the copy has it: its password, its company, its data.
    m_startupDone = false;
    FormActivate();
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
        {QStringLiteral("btnAttivitaRipristina"), QStringLiteral("Ripristina copia…"),
         QStringLiteral("\u21E7"), QColor(0x1d, 0x5a, 0x4e)},
        {QStringLiteral("btnAttivitaWindows"), QStringLiteral("Da Windows"),
         QStringLiteral("\u21AA"), QColor(0x0e, 0x5a, 0x8a)},
        {QStringLiteral("btnAttivitaSincronizza"), QStringLiteral("Sincronizza"),
         QStringLiteral("\u21C5"), QColor(0x16, 0x7a, 0x5e)},
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
    if (!m_terminate && m_links.mayQuit && !m_links.mayQuit()) {
        event->ignore();
        return;
    }
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

namespace {

// The start-up's questions, asked through the main window's dialogs and the password window.
class WindowPrompts final : public StartupPrompts
{
public:
    WindowPrompts(TfrmInizio &window, QPlainTextEdit &path, TfrmPass &password)
        : m_window(window), m_path(path), m_password(password)
    {
    }

    void showArchive(const QString &archive) override { m_path.setPlainText(archive); }
    bool confirmNewArchive(const QString &archive) override
    {
        return dialogs().confirm(
            QStringLiteral("L'archivio %1 non esiste. Crearne uno nuovo?").arg(archive));
    }
    bool offerConversion(const QString &mdb) override
    {
        return dialogs().confirm(
            QStringLiteral("È stato trovato un archivio della versione per Windows:\n%1\n\n"
                           "Convertirlo ora? L'originale non viene modificato.")
                .arg(QDir::toNativeSeparators(mdb)));
    }
    bool convert(const QString &mdb, const QString &destination) override
    {
        TfrmImportazione importazione(&m_window);
        return importazione.esegui(mdb, [mdb, destination](const migration::ImportProgress &p) {
            return migration::importArchive(mdb, destination, p);
        });
    }
    std::optional<QString> administratorPassword() override
    {
        m_password.clear();
        if (dialogs().showModal(&m_password) != QDialog::Accepted)
            return std::nullopt;
        return m_password.password();
    }
    bool retryPassword() override
    {
        return dialogs().ask(QStringLiteral("La password non è corretta. Riprovare?"),
                             QStringLiteral("Password"), Dialogs::Answer::Yes);
    }
    void showCompanyName(const QString &name) override { m_window.showCompanyName(name); }
    bool retryAfter(const QString &message) override
    {
        dialogs().error(message);
        return dialogs().confirm(QStringLiteral("Riprovare?"));
    }

private:
    TfrmInizio &m_window;
    QPlainTextEdit &m_path;
    TfrmPass &m_password;
};

} // namespace

void TfrmInizio::FormActivate()
{
    if (m_startupDone || m_starting || m_terminate || !m_sequence)
        return;
    m_starting = true;
    db::setPasswordPrompt(askServerPassword);
    WindowPrompts prompts(*this, *m_path, *m_links.password);
    const StartupSequence::Outcome outcome = m_sequence->run(prompts);
    m_starting = false;
    if (outcome == StartupSequence::Outcome::Terminate) {
        terminate();
        return;
    }
    // Filled once per run; in one piece, not a paragraph at a time (a large archive has
    // thousands of birthdays in a month). On screen it ends at the last line, as it does when
    // the lines are added one by one.
    m_birthdays->setPlainText(m_sequence->birthdays().join(u'\n'));
    if (m_birthdays->isVisible())
        m_birthdays->verticalScrollBar()->setValue(m_birthdays->verticalScrollBar()->maximum());

    // The grids whose layout this workstation keeps, in this order. A layout that cannot be
    // stored has been reported and leaves the grid as designed.
    const GridLayouts layouts = m_links.gridLayouts();
    for (const auto &[name, grid] : m_links.layoutGrids)
        (void)RipristinaLayout(name, *grid, layouts.griglie, false, layouts.computerName());
    m_startupDone = true;
    showReminders();
}

void TfrmInizio::btnArchivioWindowsClick()
{
    if (!m_sequence || m_starting)
        return;
    const QString mdb = dialogs().chooseOpenFile(
        QStringLiteral("Archivio della versione per Windows"),
        QStringLiteral("Archivio della versione per Windows (*.mdb);;Tutti i file (*)"),
        QDir::homePath());
    if (mdb.isEmpty())
        return;
    if (!dialogs().confirm(
            QStringLiteral("Convertire %1 in un nuovo archivio e usare quello da ora in poi?\n"
                           "L'originale non viene modificato; l'archivio in uso resta com'è.")
                .arg(QDir::toNativeSeparators(mdb))))
        return;
    WindowPrompts prompts(*this, *m_path, *m_links.password);
    const db::Result<bool> converted = m_sequence->convertArchive(prompts, mdb);
    if (!converted) {
        dialogs().error(converted.message());
        return;
    }
    if (!*converted)
        return;
    // The new archive is used from now on, as at a start: its password, its company, its data.
    m_startupDone = false;
    FormActivate();
}

void TfrmInizio::showCompanyName()
{
    showCompanyName(m_links.companyName());
}

void TfrmInizio::showCompanyName(const QString &name)
{
    // No dash left hanging while the company has no name yet.
    setWindowTitle(name.trimmed().isEmpty() ? QStringLiteral("Calvetra")
                                            : QStringLiteral("Calvetra - ") + name.trimmed());
}

void TfrmInizio::showReminders()
{
    const db::Result<StartupSequence::Reminders> due = m_sequence->dueReminders();
    if (!due) {
        dialogs().error(due.message());
        return;
    }
    TfrmPromemoriaScadenze &reminders = *m_links.reminders;
    reminders.setGrid(due->grid);
    if (due->due > 0) {
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
    if (db::Status written = m_links.writePrintJob(m_reportKind); !written) {
        dialogs().error(written.message());
        return;
    }
    QThread::msleep(150);
    const QString runner = runnerPath(m_links.programFolder);
    if (!QFileInfo(runner).isExecutable() ||
        !QProcess::startDetached(runner, {}, m_links.programFolder))
        dialogs().error(QStringLiteral("Impossibile avviare il programma di stampa: ") + runner);
}
