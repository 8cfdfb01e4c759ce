#include "ui/qt/MessageBoxes.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace tallymark {

namespace {

// Only Yes or No answers the question, as in a Windows Yes/No box without Cancel: Escape
// and the box's own close button do nothing.
class YesNoBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (!event->matches(QKeySequence::Cancel))
            QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

} // namespace

void QtMessageBoxes::Warning(QWidget* parent, const QString& text, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtMessageBoxes::AskYesNo(QWidget* parent, const QString& text, const QString& title)
{
    YesNoBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

} // namespace tallymark
