#include "app/frminizio.h"
#include "app/help/help.h"
#include "app/program.h"
#include "common/widgets/qtdialogs.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("calvetra"));
    QApplication::setApplicationDisplayName(QStringLiteral("Agenda - Contatti - Email"));
    QtDialogs dialogs;
    setDialogs(&dialogs);
    installHelp(&application);

    Program program(QApplication::applicationDirPath());
    TfrmInizio &main = program.frmInizio();
    main.show();
    // The start-up sequence runs at the first activation; on platforms that never activate a
    // window (offscreen) this starts it anyway.
    QTimer::singleShot(0, &main, &TfrmInizio::FormActivate);
    const int code = QApplication::exec();
    setDialogs(nullptr);
    return code;
}
