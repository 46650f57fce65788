#pragma once

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractButton;
class QComboBox;
class QKeyEvent;
class QLineEdit;
class QWidget;

// The keyboard and colour habits every window shares, attached once to a window instead of
// being set up control by control. They reach the controls the window has when it attaches
// them and those it creates later.
//
// Every window: the input field with the focus is aqua, the others white, and `edited` reports
// every change the user makes to a field. Detail windows also: Enter, Return and Down move to
// the next control in tab order, Up to the previous one (not in multi-line fields, which keep
// their new lines and caret movement, and not in grid cell editors, which belong to the grid).
class InputConventions : public QObject
{
    Q_OBJECT

public:
    enum class Kind
    {
        Detail,
        List
    };

    // The conventions of `window` (owned by it). A window attached twice keeps its first kind.
    static InputConventions *attach(QWidget *window, Kind kind);
    // The conventions attached to `window`, or nullptr.
    static InputConventions *of(const QWidget *window);

    Kind kind() const { return m_kind; }

    // Backspace or Delete in `box` empties it (no current item, no text) and calls `cleared`,
    // in windows of either kind. `edited` is not emitted for it: `cleared` is the window's
    // answer (null the bound column and set the modified flag, or search again).
    void markAsLookup(QComboBox *box, std::function<void()> cleared);

    // A click on `button` acts as the F1 key pressed in its window: the window's focus widget,
    // or the window itself, receives the key press and release.
    static void connectHelpButton(QAbstractButton *button);

    // Where Enter, Return or Down (1) and Up (-1) move the focus; 0 for any other key, or a key
    // pressed with a modifier. For controls the detail-window habit does not reach by itself
    // (check boxes, a memo that is only read).
    static int focusStep(const QKeyEvent *key);
    // A key other than Tab and Backtab, or a left click: what the editors that watch their
    // fields themselves count as the user changing something.
    static bool isEditingGesture(const QEvent *event);

    // An apostrophe typed into `edit` becomes "´" (U+00B4), as the stored passwords expect.
    static void replaceApostrophes(QLineEdit *edit);

    // Line and text edits, combo boxes, spin boxes and date edits; not the line edit inside a
    // combo or spin box, which passes its focus on to its owner.
    static bool isInputField(const QWidget *widget);
    static bool isMultiLine(const QWidget *widget);

    static QColor focusColour() { return QColor(0, 255, 255); }
    static QColor restColour() { return QColor(Qt::white); }

Q_SIGNALS:
    // The user typed into `field`, chose an item or a date, or stepped its value; never for
    // values the program sets (setText, setCurrentIndex, setDate...).
    void edited(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    InputConventions(QWidget *window, Kind kind);

    void adopt(QWidget *field);
    bool ownsField(const QWidget *widget) const;
    void focusChanged(QWidget *old, QWidget *now);
    bool clearLookup(QObject *watched, const QKeyEvent *key);
    bool moveByKey(QWidget *field, const QKeyEvent *key);
    void noteUserInput(QWidget *field);
    // Connected to the signals only the user causes (textEdited, activated).
    void userEdited();
    // Connected to the signals the program causes too (valueChanged, textChanged...).
    void valueChanged();

    QWidget *m_window;
    Kind m_kind;
    QHash<QObject *, std::function<void()>> m_lookups;
    // The field that received the last input event whose change has not been reported yet.
    QPointer<QWidget> m_userInput;
    // The multi-line field whose context menu is open (its paste is the user's).
    QPointer<QWidget> m_menuField;
};

// The help context of a window: the "helpContext" property of the widget or of its nearest
// ancestor that has one; 0 when none has.
void setHelpContext(QWidget *widget, int context);
int helpContext(const QWidget *widget);
