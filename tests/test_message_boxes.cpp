// The real message boxes: warning icon, the buttons, Yes as the default of the question, and
// the answer each way of closing the box gives.

#include <QtTest>

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <functional>

#include "ui/qt/MessageBoxes.h"

using namespace tallymark;

namespace {

// What the box showed, taken while it was up; compared once it is closed, so that a
// difference fails the test instead of leaving a modal box open.
struct Seen {
    bool up = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text, title;
    QMessageBox::StandardButtons buttons;
    bool yesIsDefault = false;

    static Seen Of(QMessageBox* box)
    {
        return {true, box->icon(), box->text(), box->windowTitle(), box->standardButtons(),
                box->defaultButton() != nullptr && box->defaultButton() == box->button(QMessageBox::Yes)};
    }
};

// Answers the next modal box once it is up, and keeps what it showed.
struct Answer {
    Seen seen;

    explicit Answer(std::function<void(QMessageBox*)> answer)
    {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                seen = Seen::Of(box);
                answer(box);
            }
        });
        poll->start(10);
    }
};

} // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void warningHasOnlyOk();
    void question_data();
    void question();
};

void TestMessageBoxes::warningHasOnlyOk()
{
    QWidget window;
    window.show();
    const Answer answer([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    QtMessageBoxes().Warning(&window, QStringLiteral("現在送信中。"), QStringLiteral("少待"));
    const Seen& seen = answer.seen;
    QVERIFY(seen.up);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.text, QStringLiteral("現在送信中。"));
    QCOMPARE(seen.title, QStringLiteral("少待"));
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestMessageBoxes::question_data()
{
    QTest::addColumn<int>("way"); // 0 click Yes, 1 click No, 2 Return, 3 Escape, then Yes if still asked
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes clicked") << 0 << true;
    QTest::newRow("No clicked") << 1 << false;
    QTest::newRow("Return takes the default") << 2 << true;
    QTest::newRow("Escape answers nothing") << 3 << true;
}

void TestMessageBoxes::question()
{
    QFETCH(int, way);
    QFETCH(bool, yes);

    QWidget window;
    window.show();
    const Answer answer([way](QMessageBox* box) {
        switch (way) {
        case 0: box->button(QMessageBox::Yes)->click(); break;
        case 1: box->button(QMessageBox::No)->click(); break;
        case 2: QTest::keyClick(box, Qt::Key_Return); break;
        default:
            QTest::keyClick(box, Qt::Key_Escape);
            if (box->isVisible())
                box->button(QMessageBox::Yes)->click();
            break;
        }
    });
    QCOMPARE(QtMessageBoxes().AskYesNo(&window, QStringLiteral("閉じますか？"), QStringLiteral("警告")), yes);
    const Seen& seen = answer.seen;
    QVERIFY(seen.up);
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.text, QStringLiteral("閉じますか？"));
    QCOMPARE(seen.title, QStringLiteral("警告"));
    QCOMPARE(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(seen.yesIsDefault);
}

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
