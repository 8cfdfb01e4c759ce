#pragma once
// The real window with everything around it replaced: a recording serial component, a
// settings file in a temporary folder, message boxes answered by the test, a fixed clock.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

#include "settings/SettingsFile.h"
#include "support/FakeSerialPort.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MessageBoxes.h"

namespace tallymark::testing {

class FakeMessageBoxes : public MessageBoxes {
public:
    QStringList shown;        // "text|title" of every box, in order
    bool answerYes = false;   // the answer to every Yes/No question
    std::function<void()> onQuestion; // runs while a question is open

    void Warning(QWidget*, const QString& text, const QString& title) override
    {
        shown << text + QLatin1Char('|') + title;
    }
    bool AskYesNo(QWidget*, const QString& text, const QString& title) override
    {
        shown << text + QLatin1Char('|') + title;
        if (onQuestion)
            onQuestion();
        return answerYes;
    }
};

struct WindowFixture {
    QTemporaryDir folder;
    FakeSerialPort port;
    std::unique_ptr<ProfileStore> store = SystemProfileStore();
    SettingsFile settings{*store, [this] { return folder.path().toStdString(); }};
    FakeMessageBoxes boxes;
    TimeOfDay now{7, 0, 0};
    std::string timeSeparator = ":";
    MainWindow window{port, settings, boxes, [this] { return now; }, [this] { return timeSeparator; }};

    Form1& form() { return window.Form(); }

    QString IniPath() const { return folder.filePath(QStringLiteral("Tallymark.ini")); }

    void WriteIni(const QByteArray& text) const
    {
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QStringList IniLines() const
    {
        QFile file(IniPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLatin1(file.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    }

    template <typename Control = QWidget>
    Control* Find(const char* name) const
    {
        auto* control = window.findChild<Control*>(QString::fromLatin1(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }

    // Loads and shows the window as the program does, and makes it the active window.
    bool Open()
    {
        window.Form().Form_Load();
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
};

} // namespace tallymark::testing
