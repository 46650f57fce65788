#include "app/frminizio.h"
#include "app/help/help.h"
#include "app/program.h"
#include "common/toolinfo.h"
#include "common/widgets/italiantranslations.h"
#include "common/widgets/qtdialogs.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

namespace {

const char kUsage[] =
    "Uso: calvetra [--help] [--version]\n"
    "Apre il programma: contatti, agenda, pagamenti, avvisi, posta elettronica e stampe.\n"
    "L'archivio è quello indicato in percorso.txt, accanto al programma oppure, quando la\n"
    "cartella del programma non è scrivibile, in ~/.config/calvetra/; senza percorso.txt il\n"
    "programma crea archivio.sqlite in ~/.local/share/calvetra/.\n";

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, QStringLiteral("calvetra"), QString::fromUtf8(kUsage)))
        return *answered;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calvetra"));
    // The menu entry and icon the package installs, for the task bar and the window's corner.
    QApplication::setDesktopFileName(QStringLiteral("example.calvetra.Calvetra"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("calvetra")));
    installItalianTranslations(application);
    QtDialogs dialogs;
    setDialogs(&dialogs);
    installHelp(&application);

    Program program(QApplication::applicationDirPath());
    TfrmInizio &main = program.frmInizio();
    // The application title is the task bar's name for the program (the window's icon text),
    // not a display name, which Qt would append to the caption of every dialog.
    main.setWindowIconText(QStringLiteral("Agenda - Contatti - Email"));
    main.show();
    // The start-up sequence runs at the first activation; on platforms that never activate a
    // window (offscreen) this starts it anyway.
    QTimer::singleShot(0, &main, &TfrmInizio::FormActivate);
    const int code = QApplication::exec();
    setDialogs(nullptr);
    return code;
}
