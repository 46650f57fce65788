#include "common/widgets/inputconventions.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>

namespace {

const char *const kHelpContextProperty = "helpContext";

// The line edit inside a combo or spin box sends its focus, and its signals, to its owner.
QWidget *fieldOf(QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    while (widget && widget->focusProxy())
        widget = widget->focusProxy();
    return widget;
}

QAbstractScrollArea *multiLine(QWidget *widget)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        return plain;
    return qobject_cast<QTextEdit *>(widget);
}

// Editors inside a grid belong to the grid's own keyboard handling (Enter commits the cell).
bool insideItemView(const QWidget *widget)
{
    for (const QWidget *w = widget->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const QAbstractItemView *>(w))
            return true;
    }
    return false;
}

void paint(QWidget *field, const QColor &colour)
{
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, colour);
        // A closed combo box without an edit field is drawn as a button.
        if (qobject_cast<QComboBox *>(field))
            palette.setColor(group, QPalette::Button, colour);
    }
    field->setPalette(palette);
}

// The next control the Tab key would reach, or the previous one; nullptr when there is none.
QWidget *neighbour(QWidget *from, bool forward)
{
    QWidget *window = from->window();
    for (QWidget *test = forward ? from->nextInFocusChain() : from->previousInFocusChain();
         test && test != from;
         test = forward ? test->nextInFocusChain() : test->previousInFocusChain()) {
        if ((test->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !test->focusProxy() &&
            test->isEnabled() && test->isVisibleTo(window) && window->isAncestorOf(test))
            return test;
    }
    return nullptr;
}

bool calendarOpen(QWidget *field)
{
    auto *edit = qobject_cast<QDateTimeEdit *>(field);
    if (!edit || !edit->calendarPopup())
        return false;
    const auto *calendar = edit->findChild<QCalendarWidget *>();
    return calendar && calendar->window() != edit->window() && calendar->window()->isVisible();
}

bool plainKey(const QKeyEvent *key)
{
    return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

const QString kApostropheFilter = QStringLiteral("apostropheFilter");

class ApostropheFilter final : public QObject
{
public:
    explicit ApostropheFilter(QObject *parent) : QObject(parent)
    {
        setObjectName(kApostropheFilter);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->text() == u"'") {
            edit->insert(QStringLiteral("\u00B4"));
            return true;
        }
        return false;
    }
};

} // namespace

InputConventions::InputConventions(QWidget *window, Kind kind)
    : QObject(window), m_window(window), m_kind(kind)
{
    setObjectName(QStringLiteral("inputConventions"));
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (ownsField(widget))
            adopt(widget);
    }
    connect(qApp, &QApplication::focusChanged, this, &InputConventions::focusChanged);
    if (QWidget *focused = QApplication::focusWidget(); ownsField(focused))
        paint(focused, focusColour());
}

InputConventions *InputConventions::attach(QWidget *window, Kind kind)
{
    if (InputConventions *existing = of(window))
        return existing;
    return new InputConventions(window, kind);
}

InputConventions *InputConventions::of(const QWidget *window)
{
    return window ? window->findChild<InputConventions *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

bool InputConventions::isInputField(const QWidget *widget)
{
    if (!widget || widget->focusProxy())
        return false;
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) || isMultiLine(widget);
}

bool InputConventions::isMultiLine(const QWidget *widget)
{
    return qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QTextEdit *>(widget);
}

bool InputConventions::ownsField(const QWidget *widget) const
{
    return isInputField(widget) && m_window->isAncestorOf(widget) && !insideItemView(widget);
}

// Safe to repeat: fields are adopted when the window attaches the conventions and again when
// they get the focus, so controls created later are covered too.
void InputConventions::adopt(QWidget *field)
{
    field->installEventFilter(this);
    if (QAbstractScrollArea *area = multiLine(field))
        area->viewport()->installEventFilter(this); // mouse, drops and menus arrive there

    const auto unique = Qt::UniqueConnection;
    if (auto *edit = qobject_cast<QLineEdit *>(field)) {
        connect(edit, &QLineEdit::textEdited, this, &InputConventions::userEdited, unique);
    } else if (auto *box = qobject_cast<QComboBox *>(field)) {
        connect(box, &QComboBox::activated, this, &InputConventions::userEdited, unique);
        // A box may become editable after it was adopted.
        if (QLineEdit *boxEdit = box->lineEdit())
            connect(boxEdit, &QLineEdit::textEdited, this, &InputConventions::userEdited, unique);
    } else if (auto *spin = qobject_cast<QSpinBox *>(field)) {
        connect(spin, &QSpinBox::valueChanged, this, &InputConventions::valueChanged, unique);
    } else if (auto *real = qobject_cast<QDoubleSpinBox *>(field)) {
        connect(real, &QDoubleSpinBox::valueChanged, this, &InputConventions::valueChanged, unique);
    } else if (auto *date = qobject_cast<QDateTimeEdit *>(field)) {
        connect(date, &QDateTimeEdit::dateTimeChanged, this, &InputConventions::valueChanged,
                unique);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(field)) {
        connect(plain, &QPlainTextEdit::textChanged, this, &InputConventions::valueChanged, unique);
    } else if (auto *rich = qobject_cast<QTextEdit *>(field)) {
        connect(rich, &QTextEdit::textChanged, this, &InputConventions::valueChanged, unique);
    }
}

void InputConventions::focusChanged(QWidget *old, QWidget *now)
{
    if (ownsField(old))
        paint(old, restColour());
    if (ownsField(now)) {
        adopt(now);
        paint(now, focusColour());
    }
}

bool InputConventions::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *field = fieldOf(watched);
    if (!isInputField(field) && field)
        field = field->parentWidget(); // the viewport of a multi-line field
    if (!isInputField(field))
        return false;

    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (clearLookup(watched, key) || moveByKey(field, key))
            return true;
        m_menuField = nullptr;
        noteUserInput(field);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_menuField = nullptr;
        noteUserInput(field);
        break;
    case QEvent::InputMethod:
    case QEvent::Wheel:
    case QEvent::Drop:
        noteUserInput(field);
        break;
    case QEvent::ContextMenu:
        m_menuField = field; // the menu may paste after this event is over
        break;
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason &&
            m_menuField == field)
            m_menuField = nullptr;
        break;
    default:
        break;
    }
    return false;
}

bool InputConventions::clearLookup(QObject *watched, const QKeyEvent *key)
{
    const auto found = m_lookups.constFind(watched);
    if (found == m_lookups.cend() || !plainKey(key) ||
        (key->key() != Qt::Key_Backspace && key->key() != Qt::Key_Delete))
        return false;
    auto *box = static_cast<QComboBox *>(watched);
    const std::function<void()> cleared = *found;
    box->setCurrentIndex(-1);
    if (box->isEditable())
        box->setEditText(QString());
    if (cleared)
        cleared();
    return true;
}

int InputConventions::focusStep(const QKeyEvent *key)
{
    if (!plainKey(key))
        return 0;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        return 1;
    case Qt::Key_Up:
        return -1;
    default:
        return 0;
    }
}

bool InputConventions::isEditingGesture(const QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent *>(event)->key();
        return key != Qt::Key_Tab && key != Qt::Key_Backtab;
    }
    return event->type() == QEvent::MouseButtonPress &&
           static_cast<const QMouseEvent *>(event)->button() == Qt::LeftButton;
}

bool InputConventions::moveByKey(QWidget *field, const QKeyEvent *key)
{
    const int step = focusStep(key);
    if (m_kind != Kind::Detail || isMultiLine(field) || step == 0)
        return false;
    const bool forward = step > 0;
    if (auto *box = qobject_cast<QComboBox *>(field); box && box->view()->isVisible())
        return false;
    if (QWidget *next = neighbour(field, forward))
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// The change signals of spin boxes, date and text edits fire for the program's values too: a
// change counts as the user's while the input event that caused it is being handled.
void InputConventions::noteUserInput(QWidget *field)
{
    m_userInput = field;
    QTimer::singleShot(0, this, [this, field = QPointer<QWidget>(field)] {
        if (m_userInput == field)
            m_userInput = nullptr;
    });
}

void InputConventions::userEdited()
{
    if (QWidget *field = fieldOf(sender()))
        Q_EMIT edited(field);
}

void InputConventions::valueChanged()
{
    QWidget *field = fieldOf(sender());
    if (!field || (m_userInput != field && m_menuField != field && !calendarOpen(field)))
        return;
    m_userInput = nullptr;
    Q_EMIT edited(field);
}

void InputConventions::markAsLookup(QComboBox *box, std::function<void()> cleared)
{
    if (!m_lookups.contains(box))
        connect(box, &QObject::destroyed, this, [this](QObject *gone) { m_lookups.remove(gone); });
    m_lookups[box] = std::move(cleared);
    box->installEventFilter(this);
    if (ownsField(box))
        adopt(box);
}

void InputConventions::connectHelpButton(QAbstractButton *button)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [button] {
        QWidget *window = button->window();
        QPointer<QWidget> target = window->focusWidget() ? window->focusWidget() : window;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        if (target) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &release);
        }
    });
}

void InputConventions::replaceApostrophes(QLineEdit *edit)
{
    if (!edit->findChild<QObject *>(kApostropheFilter, Qt::FindDirectChildrenOnly))
        edit->installEventFilter(new ApostropheFilter(edit));
}

void setHelpContext(QWidget *widget, int context)
{
    widget->setProperty(kHelpContextProperty, context);
}

int helpContext(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        const QVariant context = w->property(kHelpContextProperty);
        if (context.isValid())
            return context.toInt();
    }
    return 0;
}
