// The window's event routing: what the operator does with the widgets, the clock's tick,
// the ports that come or go, Tab and the close box, passed on to the window's behaviour.

#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSocketNotifier>
#include <QWheelEvent>

#include "ui/qt/QtText.h"
#include "ui/qt/TimeSpinner.h"

namespace tallymark {

namespace {

std::optional<Key> KeyOf(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Left: return Key::Left;
    case Qt::Key_Right: return Key::Right;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_PageUp: return Key::PageUp;
    case Qt::Key_PageDown: return Key::PageDown;
    default: return std::nullopt;
    }
}

} // namespace

MainWindow::MainWindow(SerialPort& port, SettingsFile& settings, MessageBoxes& boxes, Clock clock,
                       std::function<std::string()> timeSeparator, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      boxes_(boxes), form_(*this, port, settings, std::move(clock), std::move(timeSeparator))
{
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    wake_.setInterval(1);

    CreateControls();
    ConnectHandlers();
    if (const auto first = form_.FirstTabStop())
        Widget(*first)->setFocus();
    timer1_->start();
}

MainWindow::~MainWindow()
{
    // The controls go before the QObject part does; no lost focus may reach them meanwhile.
    disconnect(focusWatch_);
}

QWidget* MainWindow::Widget(Control control) const
{
    return widgets_[static_cast<std::size_t>(control)];
}

void MainWindow::ConnectHandlers()
{
    connect(timer1_, &QTimer::timeout, this, [this] { form_.Timer1_Timer(); });
    for (const ControlRow& row : Controls()) {
        const Control control = row.id;
        QWidget* widget = Widget(control);
        if (!widget || control == Control::Form1)
            continue;
        if (TakesFocus(row.kind))
            widget->installEventFilter(this);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            connect(button, &QAbstractButton::clicked, this, [this, control] { form_.Clicked(control); });
        else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            connect(combo, &QComboBox::activated, this,
                    [this, control](int index) { form_.ItemChosen(control, index); });
            // Its field is a widget of its own, and takes the drops.
            if (combo->lineEdit())
                combo->lineEdit()->installEventFilter(this);
        } else if (auto* spinner = qobject_cast<TimeSpinner*>(widget))
            connect(spinner, &TimeSpinner::spun, this,
                    [this, control](SpinAction action) { form_.SpinnerMoved(control, action); });
    }
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);
}

void MainWindow::WatchPorts(PortWatch& watch)
{
    if (watch.Descriptor() == -1)
        return;
    auto* notifier = new QSocketNotifier(watch.Descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, &watch] {
        // The watch names candidates only: a device behind a link may have come or gone.
        if (const std::vector<int> numbers = watch.Changes(); !numbers.empty())
            form_.PortsChanged(numbers, [&watch](int number) { return watch.DeviceExists(number); });
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto control = ControlOf(qobject_cast<QWidget*>(watched));
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        return control && TextDragged(*control, watched, *static_cast<QDropEvent*>(event));
    // The rest of what a combo box's field gets reaches the combo box, and is told there.
    if (control && watched != Widget(*control))
        return QWidget::eventFilter(watched, event);
    // A wheel's turn over a combo box's line edit comes here as the combo box's own.
    if (type == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        return delta != 0 && control && form_.WheelTurned(*control, delta > 0);
    }
    if (type != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto& press = *static_cast<QKeyEvent*>(event);
    const auto key = KeyOf(press);
    const Qt::KeyboardModifiers held = press.modifiers();
    const KeyModifiers modifiers{.shift = held.testFlag(Qt::ShiftModifier),
                                 .ctrl = held.testFlag(Qt::ControlModifier),
                                 .alt = held.testFlag(Qt::AltModifier),
                                 .meta = held.testFlag(Qt::MetaModifier)};
    return key && control && form_.KeyPressed(*control, *key, modifiers);
}

// The behaviour says whether the box takes the text and what of it (its first line); the box
// takes it where it is dropped, as a paste goes where the cursor is.
bool MainWindow::TextDragged(Control control, QObject* box, QDropEvent& event)
{
    auto* field = qobject_cast<QLineEdit*>(box);
    const QMimeData* data = event.mimeData();
    const QString text = data ? data->text() : QString();
    const std::optional<std::u16string> kept
        = field && data && data->hasText() ? form_.TextPutIn(control, Utf16Of(text)) : std::nullopt;
    if (!kept) {
        event.ignore();
        return true;
    }
    if (event.type() == QEvent::Drop) {
        field->setCursorPosition(field->cursorPositionAt(event.position().toPoint()));
        field->insert(QString::fromStdU16String(*kept));
    }
    event.acceptProposedAction();
    return true;
}

std::optional<Control> MainWindow::ControlOf(QWidget* widget) const
{
    // A combo box's line edit and list are parts of it.
    for (; widget && widget != this; widget = widget->parentWidget())
        for (const ControlRow& row : Controls())
            if (Widget(row.id) == widget)
                return row.id;
    return std::nullopt;
}

// The window losing the activation, or a popup such as a box's own context menu, is no
// move to another control of this window.
void MainWindow::OnFocusChanged(QWidget* old, QWidget* now)
{
    const std::optional<Control> from = ControlOf(old);
    if (!from)
        return;
    const bool here = now != nullptr && now->window() == this;
    form_.FocusMoved(*from, here ? ControlOf(now) : std::nullopt);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    const std::optional<Control> from = ControlOf(QApplication::focusWidget());
    const std::optional<Control> to = form_.NextTabStop(from.value_or(Control::Form1), !next);
    if (!to)
        return false;
    Widget(*to)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    form_.Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

} // namespace tallymark
