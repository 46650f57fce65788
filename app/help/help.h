#pragma once

class QApplication;
class TfrmAiuto;

// F1 anywhere in `application` opens the help window on the page of the help context of the
// widget that receives the key (see helpContext()). Safe to call more than once.
void installHelp(QApplication *application);

// Shows the one help window on the page of `context`, creating it the first time. While a
// modal window is open the help window belongs to it, so that it is not blocked.
TfrmAiuto *openHelp(int context);

// The help window, or nullptr when none has been opened.
TfrmAiuto *helpWindow();
