#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QWheelEvent>

#include "ui/qt/MessageBoxes.h"
#include "ui/qt/OptionButton.h"
#include "ui/qt/TimeSpinner.h"
#include "ui/qt/WorkTimeSwitch.h"

namespace tallymark {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Qt shows an item's text as soon as it is selected, and selects an item by itself when one
// comes into an empty list or the selected one goes: the text, and where the operator is in
// it, are put back as they were.
template <typename Change>
void KeepingText(QComboBox& combo, Change change)
{
    const QSignalBlocker quiet(&combo);
    QLineEdit* edit = combo.lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition(), start = edit->selectionStart(),
              length = static_cast<int>(edit->selectedText().size());
    change();
    if (edit->text() == text)
        return;
    edit->setText(text);
    if (length == 0)
        edit->setCursorPosition(cursor);
    else if (cursor == start) // selected backwards
        edit->setSelection(start + length, -length);
    else
        edit->setSelection(start, length);
}

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

template <typename T>
T* MainWindow::As(Control control) const
{
    return qobject_cast<T*>(Widget(control));
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
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            connect(combo, &QComboBox::activated, this,
                    [this, control](int index) { form_.ItemChosen(control, index); });
        else if (auto* spinner = qobject_cast<TimeSpinner*>(widget))
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
    // A wheel's turn over a combo box's line edit comes here as the combo box's own.
    if (event->type() == QEvent::Wheel) {
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        const auto control = ControlOf(qobject_cast<QWidget*>(watched));
        return delta != 0 && control && form_.WheelTurned(*control, delta > 0);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto& press = *static_cast<QKeyEvent*>(event);
    const auto key = KeyOf(press);
    const auto control = ControlOf(qobject_cast<QWidget*>(watched));
    const Qt::KeyboardModifiers held = press.modifiers();
    const KeyModifiers modifiers{.shift = held.testFlag(Qt::ShiftModifier),
                                 .ctrl = held.testFlag(Qt::ControlModifier),
                                 .alt = held.testFlag(Qt::AltModifier),
                                 .meta = held.testFlag(Qt::MetaModifier)};
    return key && control && form_.KeyPressed(*control, *key, modifiers);
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

std::string MainWindow::Text(Control control) const
{
    QWidget* widget = Widget(control);
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().toStdString();
    return widget == this ? windowTitle().toStdString() : std::string();
}

void MainWindow::SetText(Control control, const std::string& text)
{
    const QString shown = FromUtf8(text);
    QWidget* widget = Widget(control);
    if (auto* box = qobject_cast<QLineEdit*>(widget)) {
        box->setText(shown);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const QSignalBlocker quiet(combo);
        combo->setEditText(shown);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(shown);
    }
}

int MainWindow::Value(Control control) const
{
    QWidget* widget = Widget(control);
    if (auto* check = qobject_cast<WorkTimeSwitch*>(widget))
        return check->value();
    if (auto* spinner = qobject_cast<TimeSpinner*>(widget))
        return spinner->minute();
    if (auto* option = qobject_cast<OptionButton*>(widget))
        return option->isChecked() ? 1 : 0;
    if (auto* bar = qobject_cast<QProgressBar*>(widget))
        return bar->value();
    return 0;
}

void MainWindow::SetValue(Control control, int value)
{
    QWidget* widget = Widget(control);
    if (auto* check = qobject_cast<WorkTimeSwitch*>(widget))
        check->setValue(value);
    else if (auto* spinner = qobject_cast<TimeSpinner*>(widget))
        spinner->setMinute(value);
    else if (auto* option = qobject_cast<OptionButton*>(widget))
        option->setSelected(value != 0);
    else if (auto* bar = qobject_cast<QProgressBar*>(widget))
        bar->setValue(value);
}

bool MainWindow::Enabled(Control control) const
{
    QWidget* widget = Widget(control);
    return widget && widget->isEnabled();
}

void MainWindow::SetEnabled(Control control, bool enabled)
{
    if (QWidget* widget = Widget(control))
        widget->setEnabled(enabled);
}

int MainWindow::Minimum(Control control) const
{
    auto* bar = As<QProgressBar>(control);
    return bar ? bar->minimum() : 0;
}

int MainWindow::Maximum(Control control) const
{
    auto* bar = As<QProgressBar>(control);
    return bar ? bar->maximum() : 0;
}

void MainWindow::SetRange(Control control, int minimum, int maximum)
{
    if (auto* bar = As<QProgressBar>(control))
        bar->setRange(minimum, maximum);
}

void MainWindow::ClearList(Control control)
{
    if (auto* combo = As<QComboBox>(control)) {
        const QSignalBlocker quiet(combo);
        combo->clear();
        combo->clearEditText();
    }
}

void MainWindow::AddItem(Control control, const std::string& item)
{
    InsertItem(control, ListCount(control), item);
}

void MainWindow::InsertItem(Control control, int index, const std::string& item)
{
    if (auto* combo = As<QComboBox>(control))
        KeepingText(*combo, [&] { combo->insertItem(index, FromUtf8(item)); });
}

void MainWindow::RemoveItem(Control control, int index)
{
    if (auto* combo = As<QComboBox>(control))
        KeepingText(*combo, [&] { combo->removeItem(index); });
}

int MainWindow::ListCount(Control control) const
{
    auto* combo = As<QComboBox>(control);
    return combo ? combo->count() : 0;
}

std::string MainWindow::ListItem(Control control, int index) const
{
    auto* combo = As<QComboBox>(control);
    return combo ? combo->itemText(index).toStdString() : std::string();
}

int MainWindow::ListIndex(Control control) const
{
    auto* combo = As<QComboBox>(control);
    return combo ? combo->currentIndex() : -1;
}

void MainWindow::SetListIndex(Control control, int index)
{
    if (auto* combo = As<QComboBox>(control))
        KeepingText(*combo, [&] { combo->setCurrentIndex(index); });
}

bool MainWindow::DroppedDown(Control control) const
{
    auto* combo = As<QComboBox>(control);
    return combo && combo->view()->isVisible();
}

void MainWindow::SetFocus(Control control)
{
    if (QWidget* widget = Widget(control))
        widget->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ShowMessage(std::string_view text, std::string_view title)
{
    boxes_.Warning(this, FromUtf8(text), FromUtf8(title));
}

bool MainWindow::AskYesNo(std::string_view text, std::string_view title)
{
    return boxes_.AskYesNo(this, FromUtf8(text), FromUtf8(title));
}

void MainWindow::DoEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Nothing left to do: sleep until the next event, a millisecond at most.
    wake_.start();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    wake_.stop();
}

void MainWindow::RequestClose()
{
    close();
}

} // namespace tallymark
