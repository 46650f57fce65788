#include "app/frminizio.h"
#include "app/help/help.h"
#include "app/program.h"
#include "common/widgets/italiantranslations.h"
#include "common/widgets/qtdialogs.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calvetra"));
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
