// stampa: prints the job the program left in TempStampa for this workstation, through a
// preview window, or straight to a PDF or data file (--pdf, --export).

#include "common/dialogs.h"
#include "common/toolinfo.h"
#include "common/widgets/italiantranslations.h"
#include "common/widgets/qtdialogs.h"
#include "tools/stampa/dataexport.h"
#include "tools/stampa/jobsource.h"
#include "tools/stampa/reportdocument.h"
#include "tools/stampa/widgets/previewwindow.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

void printError(const QString &message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

bool asksForFiles(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--pdf") == 0 || qstrcmp(argv[i], "--export") == 0)
            return true;
    }
    return false;
}

int printToFiles(const stampa::RunnerOptions &options, const QString &folder)
{
    db::Result<stampa::LoadedJob> loaded = stampa::loadJob(options, folder);
    if (!loaded) {
        printError(loaded.message());
        return 1;
    }
    db::Result<stampa::ReportLayout> layout =
        stampa::readLayoutFile(stampa::layoutPath(loaded->job, options.landscape, folder));
    if (!layout) {
        printError(layout.message());
        return 1;
    }
    const stampa::ReportDocument document(std::move(*layout), std::move(loaded->data),
                                          loaded->job.heading);
    if (!options.pdf.isEmpty()) {
        if (db::Status written = stampa::writePdf(document, options.pdf); !written) {
            printError(written.message());
            return 1;
        }
    }
    if (!options.exportFile.isEmpty()) {
        if (db::Status written = stampa::exportReport(document, options.exportFile); !written) {
            printError(written.message());
            return 1;
        }
    }
    return 0;
}

// The Qt dialogs, installed for as long as the preview runs.
struct InstalledDialogs
{
    QtDialogs dialogs;
    InstalledDialogs() { setDialogs(&dialogs); }
    ~InstalledDialogs() { setDialogs(nullptr); }
};

int showPreview(const stampa::RunnerOptions &options, const QString &folder)
{
    const InstalledDialogs installed;
    const auto fail = [](const QString &message) {
        printError(message);
        dialogs().error(message);
        return 1;
    };
    db::Result<stampa::LoadedJob> loaded = stampa::loadJob(options, folder);
    if (!loaded)
        return fail(loaded.message());
    stampa::PreviewWindow window(std::move(loaded->job), std::move(loaded->data), folder);
    if (db::Status shown = window.showLayout(options.landscape); !shown)
        return fail(shown.message());
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, QStringLiteral("stampa"), stampa::usageText()))
        return *answered;
    const bool toFiles = asksForFiles(argc, argv);
    // Printing to files needs no screen: it also works from a scheduled task or a remote shell.
    if (toFiles && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QGuiApplication> application;
    if (toFiles)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);
    // The program's name, so that percorso.txt is looked for in the same user folder.
    QCoreApplication::setApplicationName(QStringLiteral("calvetra"));
    installItalianTranslations(*application);

    db::Result<stampa::RunnerOptions> options =
        stampa::parseArguments(QCoreApplication::arguments().mid(1));
    if (!options) {
        printError(options.message());
        std::fprintf(stderr, "%s", stampa::usageText().toUtf8().constData());
        return 2;
    }
    const QString folder = QCoreApplication::applicationDirPath();
    return options->automatic() ? printToFiles(*options, folder) : showPreview(*options, folder);
}
