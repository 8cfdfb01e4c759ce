#pragma once
// The window's modal message boxes, behind a small interface so that the window can be
// driven without anyone at the screen.

class QString;
class QWidget;

namespace tallymark {

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A warning with one OK button.
    virtual void Warning(QWidget* parent, const QString& text, const QString& title) = 0;
    // A warning that asks Yes or No, Yes being the default; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& title) = 0;
};

// QMessageBox with the warning icon.
class QtMessageBoxes : public MessageBoxes {
public:
    void Warning(QWidget* parent, const QString& text, const QString& title) override;
    bool AskYesNo(QWidget* parent, const QString& text, const QString& title) override;
};

} // namespace tallymark
