#include "ui/qt/MessageBoxes.h"

#include <QMessageBox>

namespace tallymark {

void QtMessageBoxes::Warning(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtMessageBoxes::AskYesNo(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    // Escape or the box's own close button count as No: the window stays.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tallymark
