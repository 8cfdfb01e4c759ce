// The widgets read and set as the behaviour asks: MainWindow as the FormView of Form1.

#include "ui/qt/MainWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/qt/MessageBoxes.h"
#include "ui/qt/OptionButton.h"
#include "ui/qt/QtText.h"
#include "ui/qt/TimeSpinner.h"
#include "ui/qt/WorkTimeSwitch.h"

namespace tallymark {

namespace {

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

} // namespace

template <typename T>
T* MainWindow::As(Control control) const
{
    return qobject_cast<T*>(Widget(control));
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

void MainWindow::SetToolTip(Control control, const std::string& text)
{
    if (QWidget* widget = Widget(control))
        widget->setToolTip(FromUtf8(text));
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
