// The window as it is created: every control where the layout puts it, with its caption,
// kind, fonts, limits and tab order; and both send buttons sending what the window shows.

#include <QtTest>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>

#include <map>
#include <vector>
#include <cstdlib>

#include "WindowFixture.h"

using namespace tallymark;
using tallymark::testing::WindowFixture;

namespace {

// The control a focus widget belongs to: an editable combo box focuses its line edit.
QString ControlName(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith(QLatin1String("qt_")))
            return widget->objectName();
    return {};
}

QStringList TabStops(int count)
{
    QStringList stops;
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << ControlName(QApplication::focusWidget());
    }
    return stops;
}

QString CaptionOf(QWidget* control)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<QLineEdit*>(control))
        return box->text();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return combo->currentText();
    if (auto* frame = qobject_cast<QGroupBox*>(control))
        return frame->title();
    return {};
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void controls_data();
    void controls();
    void placesAtEveryScale_data();
    void placesAtEveryScale();
    void noOtherControls();
    void windowIsFixedWithTitleAndIcon();
    void fonts();
    void initialValues();
    void textLimits_data();
    void textLimits();
    void combosTakeTextNotInTheirList_data();
    void combosTakeTextNotInTheirList();
    void exactlyOneOptionSelected();
    void tabOrder_data();
    void tabOrder();
    void focusStartsOnTheSwitch();
    void sendButtonsDeliverTheirIndex();
    void sendReadsWhatTheWindowShows();
    void clicksReachTheControlWhereControlsTouch();
    void pastedOrDroppedKeepsTheFirstLine_data();
    void pastedOrDroppedKeepsTheFirstLine();
};

void TestMainWindow::controls_data()
{
    QTest::addColumn<int>("control");
    for (const ControlRow& row : Controls())
        if (row.id != Control::Form1 && row.kind != ControlKind::Timer && row.kind != ControlKind::SerialPort)
            QTest::newRow(UniqueName(row.id).data()) << int(row.id);
}

// Every control of the table is there as the table made it, and lies wholly inside its
// container: nothing of it is cut off by the frame around it.
void TestMainWindow::controls()
{
    QFETCH(int, control);
    const ControlRow& row = RowOf(Control(control));
    const std::map<ControlKind, const char*> kinds = {
        {ControlKind::Label, "QLabel"},          {ControlKind::Frame, "QGroupBox"},
        {ControlKind::TextBox, "QLineEdit"},     {ControlKind::ComboBox, "QComboBox"},
        {ControlKind::CheckBox, "QCheckBox"},    {ControlKind::OptionButton, "QRadioButton"},
        {ControlKind::VScrollBar, "QScrollBar"}, {ControlKind::CommandButton, "QPushButton"},
        {ControlKind::ProgressBar, "QProgressBar"},
    };

    WindowFixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    auto* widget = f.Find(UniqueName(row.id).data());
    QVERIFY2(widget->inherits(kinds.at(row.kind)), widget->metaObject()->className());
    QCOMPARE(widget->parentWidget()->objectName(), QString::fromUtf8(UniqueName(row.container).data()));
    QCOMPARE(CaptionOf(widget), QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size())));
    QCOMPARE(widget->geometry(), QRect(row.place.left / 15, row.place.top / 15, row.place.width / 15,
                                       row.place.height / 15));
    QVERIFY(widget->parentWidget()->rect().contains(widget->geometry()));
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
}

void TestMainWindow::placesAtEveryScale_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("client");
    QTest::newRow("100 %") << 96 << QSize(521, 384);
    QTest::newRow("125 %") << 120 << QSize(651, 480);
    QTest::newRow("150 %") << 144 << QSize(782, 576);
    QTest::newRow("175 %") << 168 << QSize(912, 672);
}

void TestMainWindow::placesAtEveryScale()
{
    QFETCH(int, dpi);
    QFETCH(QSize, client);
    const Pixels form = InPixels(PlaceInWindow(Control::Form1), dpi);
    QCOMPARE(QSize(form.width, form.height), client);

    // Every edge lies on the pixel nearest to where it falls at this scale, so that controls
    // that meet or overlap in twips still do on screen: no gap opens between a time box and
    // its spinner, nor between a label and what it names.
    const auto nearest = [dpi](int pixel, int twips) { return std::abs(pixel * 1440 - twips * dpi) <= 720; };
    for (const ControlRow& row : Controls()) {
        const Twips t = PlaceInWindow(row.id);
        const Pixels p = InPixels(t, dpi);
        QVERIFY2(nearest(p.left, t.left) && nearest(p.top, t.top) && nearest(p.left + p.width, t.left + t.width)
                     && nearest(p.top + p.height, t.top + t.height),
                 UniqueName(row.id).data());
    }
}

void TestMainWindow::noOtherControls()
{
    WindowFixture f;
    QStringList names;
    for (QWidget* child : f.window.findChildren<QWidget*>()) {
        // A combo box's own line edit and list are parts of it, not controls of the window.
        bool part = false;
        for (QWidget* up = child->parentWidget(); up != &f.window; up = up->parentWidget())
            part = part || up->inherits("QComboBox");
        if (!part)
            names << child->objectName();
    }
    names.sort();
    QCOMPARE(names, QStringList({"ChkWEn", "CmdExit", "CmdSndClk_0", "CmdSndClk_1", "ComBright", "ComSele",
                                 "Frame1", "Frame2", "Frame3", "Label1", "Label2", "Label3", "Label4", "Label5",
                                 "Label6", "Label7", "OptDeD", "OptInD", "ProgressBar1", "TxtDJS", "TxtETime",
                                 "TxtSTime", "TxtTime", "VScETime", "VScSTime"}));
    QCOMPARE(f.Find("CmdSndClk_0")->property("index").toInt(), 0);
    QCOMPARE(f.Find("CmdSndClk_1")->property("index").toInt(), 1);
    auto* timer = f.window.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 50);
    QCOMPARE(f.window.objectName(), QStringLiteral("Form1"));
    // MSComm1, the serial component the window was given, is never opened by creating it.
    QVERIFY(!f.port.PortOpen());
}

void TestMainWindow::windowIsFixedWithTitleAndIcon()
{
    WindowFixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    QCOMPARE(f.window.size(), QSize(521, 384));
    QCOMPARE(f.window.minimumSize(), QSize(521, 384));
    QCOMPARE(f.window.maximumSize(), QSize(521, 384));
    const QString title = f.window.windowTitle();
    QVERIFY(!title.isEmpty());
    QVERIFY(!f.window.windowIcon().isNull());
    const QList<QSize> sizes = f.window.windowIcon().availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
        QVERIFY2(sizes.contains(size), qPrintable(QStringLiteral("%1 px image missing").arg(size.width())));
    QTest::qWait(120); // a few ticks of the clock change nothing else
    QCOMPARE(f.window.windowTitle(), title);
    QCOMPARE(f.window.size(), QSize(521, 384));
}

void TestMainWindow::fonts()
{
    WindowFixture f;
    const QFontInfo window(f.window.font());
    const QStringList gothic = {"ＭＳ ゴシック", "MS Gothic", "IPAGothic"};
    QVERIFY2(gothic.contains(window.family()), qPrintable(window.family()));
    // The stand-in only where the named face is missing.
    if (QFontDatabase::hasFamily(QStringLiteral("ＭＳ ゴシック")) || QFontDatabase::hasFamily(QStringLiteral("MS Gothic")))
        QVERIFY(window.family() != QLatin1String("IPAGothic"));
    QCOMPARE(window.pointSizeF(), 12.0);
    QVERIFY(!window.bold());
    QVERIFY(!window.italic());
    QVERIFY(!window.underline());

    const QFontInfo title(f.Find("Label1")->font());
    const QStringList mincho = {"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho"};
    QVERIFY2(mincho.contains(title.family()), qPrintable(title.family()));
    QCOMPARE(title.pointSizeF(), 21.75);
    QCOMPARE(title.weight(), int(QFont::Bold));
    QVERIFY(title.underline());
    QCOMPARE(f.Find<QLabel>("Label1")->palette().color(QPalette::WindowText), QColor(0, 0, 255));

    for (QWidget* control : f.window.findChildren<QWidget*>()) {
        if (control->objectName() == QLatin1String("Label1"))
            continue;
        const QFontInfo used(control->font());
        QVERIFY2(used.family() == window.family() && used.pointSizeF() == 12.0 && !used.bold() && !used.underline(),
                 qPrintable(control->objectName() + QLatin1Char(' ') + used.family()));
    }
}

void TestMainWindow::initialValues()
{
    WindowFixture f;
    QCOMPARE(f.Find<QCheckBox>("ChkWEn")->checkState(), Qt::Unchecked);
    QCOMPARE(f.form().Settings().workStart, 420);
    QCOMPARE(f.form().Settings().workEnd, 1140);
    QVERIFY(!f.form().Settings().countUp);
    QCOMPARE(f.form().Settings().brightnessText, std::string("5"));
    QCOMPARE(f.window.Text(Control::ComSele), std::string("COM1"));
    auto* bright = f.Find<QComboBox>("ComBright");
    QStringList items;
    for (int i = 0; i < bright->count(); ++i)
        items << bright->itemText(i);
    QCOMPARE(items, QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
    auto* ports = f.Find<QComboBox>("ComSele");
    QCOMPARE(ports->count(), 8);
    QCOMPARE(ports->itemText(7), QStringLiteral("COM8"));
    QVERIFY(f.Find<QLabel>("Label1")->alignment() & Qt::AlignHCenter);
    QVERIFY(f.Find<QLineEdit>("TxtTime")->alignment() & Qt::AlignHCenter);
}

void TestMainWindow::textLimits_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("typed"); // typed by the operator, or assigned by the program
    QTest::addColumn<QString>("shown");

    QTest::newRow("TxtDJS, a fourth character typed") << "TxtDJS" << "1234" << true << "123";
    QTest::newRow("TxtDJS, longer text assigned") << "TxtDJS" << "98765" << false << "987";
    QTest::newRow("TxtSTime, a sixth character typed") << "TxtSTime" << "12:345" << true << "12:34";
    QTest::newRow("TxtSTime, longer text assigned") << "TxtSTime" << "abcdefg" << false << "abcde";
    QTest::newRow("TxtETime, a sixth character typed") << "TxtETime" << "123456" << true << "12345";
    QTest::newRow("TxtETime, longer text assigned") << "TxtETime" << "23:59:59" << false << "23:59";
    QTest::newRow("TxtTime, no limit") << "TxtTime" << QString(40, QLatin1Char('9')) << false << QString(40, QLatin1Char('9'));
}

void TestMainWindow::textLimits()
{
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(bool, typed);
    QFETCH(QString, shown);

    WindowFixture f;
    auto* edit = f.Find<QLineEdit>(box.toLatin1());
    if (typed) {
        edit->clear();
        QTest::keyClicks(edit, text);
    } else {
        edit->setText(text);
    }
    QCOMPARE(edit->text(), shown);
}

void TestMainWindow::combosTakeTextNotInTheirList_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("typed");

    QTest::newRow("ComBright, 9") << "ComBright" << "9";
    QTest::newRow("ComBright, empty") << "ComBright" << "";
    QTest::newRow("ComBright, 7x") << "ComBright" << "7x";
    QTest::newRow("ComSele, lower case") << "ComSele" << "com1";
    QTest::newRow("ComSele, a prefix of an item") << "ComSele" << "COM";
    QTest::newRow("ComSele, empty") << "ComSele" << "";
    QTest::newRow("ComSele, long") << "ComSele" << "COM12345678901234567890";
}

void TestMainWindow::combosTakeTextNotInTheirList()
{
    QFETCH(QString, combo);
    QFETCH(QString, typed);

    WindowFixture f;
    QVERIFY(f.Open());
    auto* box = f.Find<QComboBox>(combo.toLatin1());
    const int items = box->count();
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Tab); // leaving the box changes nothing either

    QCOMPARE(box->currentText(), typed);
    QCOMPARE(box->count(), items);
    const std::string read = combo == QLatin1String("ComBright") ? f.form().Settings().brightnessText
                                                                 : f.window.Text(Control::ComSele);
    QCOMPARE(QString::fromStdString(read), typed);
}

void TestMainWindow::exactlyOneOptionSelected()
{
    WindowFixture f;
    QVERIFY(f.Open());
    auto* up = f.Find<QRadioButton>("OptInD");
    auto* down = f.Find<QRadioButton>("OptDeD");
    QVERIFY(!up->isChecked() && down->isChecked());

    QTest::mouseClick(up, Qt::LeftButton);
    QVERIFY(up->isChecked() && !down->isChecked());
    QVERIFY(f.form().Settings().countUp);
    QTest::mouseClick(up, Qt::LeftButton); // clicking the selected one keeps it
    QVERIFY(up->isChecked() && !down->isChecked());

    f.form().SetCountDown(true);
    QVERIFY(!up->isChecked() && down->isChecked());
    QVERIFY(!f.form().Settings().countUp);
    QVERIFY(!f.form().Settings().countUp);
    f.form().SetCountDown(false);
    QVERIFY(up->isChecked() && !down->isChecked());
    QVERIFY(f.form().Settings().countUp);
}

void TestMainWindow::tabOrder_data()
{
    QTest::addColumn<int>("workTime");
    QTest::addColumn<bool>("countDown");
    QTest::addColumn<QStringList>("stops"); // after ChkWEn, around to it again

    const QStringList rest = {"TxtDJS", "ComBright", "CmdSndClk_0", "TxtTime", "ComSele", "CmdExit"};
    const QStringList times = {"TxtSTime", "VScSTime", "VScETime", "TxtETime"};
    QTest::newRow("switch on, counting down") << 1 << true << times + rest + QStringList{"OptDeD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch on, counting up") << 1 << false << times + rest + QStringList{"OptInD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch off skips the disabled times") << 0 << true << rest + QStringList{"OptDeD", "CmdSndClk_1", "ChkWEn"};
    QTest::newRow("switch greyed") << 2 << false << times + rest + QStringList{"OptInD", "CmdSndClk_1", "ChkWEn"};
}

void TestMainWindow::tabOrder()
{
    QFETCH(int, workTime);
    QFETCH(bool, countDown);
    QFETCH(QStringList, stops);

    WindowFixture f;
    QVERIFY(f.Open());
    f.form().SetSwitch(static_cast<std::int16_t>(workTime));
    f.form().ChkWEn_Click();
    f.form().SetCountDown(countDown);
    f.Find("ChkWEn")->setFocus();
    QCOMPARE(TabStops(static_cast<int>(stops.size())), stops);

    // Backwards the same stops come in the reverse order.
    QStringList back;
    for (qsizetype i = stops.size() - 2; i >= 0; --i)
        back << stops[i];
    back << QStringLiteral("ChkWEn");
    QStringList seen;
    for (qsizetype i = 0; i < back.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        seen << ControlName(QApplication::focusWidget());
    }
    QCOMPARE(seen, back);
}

void TestMainWindow::focusStartsOnTheSwitch()
{
    WindowFixture f;
    QVERIFY(f.Open());
    QCOMPARE(ControlName(QApplication::focusWidget()), QStringLiteral("ChkWEn"));
}

void TestMainWindow::sendButtonsDeliverTheirIndex()
{
    WindowFixture f;
    f.port.present = {3};
    QVERIFY(f.Open());
    QCOMPARE(f.window.Text(Control::ComSele), std::string("COM3"));
    f.form().SetControlText(Control::TxtDJS, "999");
    f.port.sent.clear();

    QTest::mouseClick(f.Find("CmdSndClk_0"), Qt::LeftButton);
    const std::string fromClock = f.port.sent;
    f.port.sent.clear();
    QTest::mouseClick(f.Find("CmdSndClk_1"), Qt::LeftButton);
    const std::string fromSettings = f.port.sent;

    QCOMPARE(fromClock.size(), std::size_t(15));
    QCOMPARE(fromSettings.size(), std::size_t(15));
    QCOMPARE(fromClock.substr(0, 5), std::string("Hello"));
    // Byte 3 of the record: the clock's button leaves the count alone, the other sends 999.
    QCOMPARE(std::uint8_t(fromClock[5 + 3]), std::uint8_t(0xAA));
    QCOMPARE(std::uint8_t(fromSettings[5 + 3]), std::uint8_t(999 / 256));
    for (std::size_t i = 0; i < 15; ++i)
        if (i != 5 + 3)
            QCOMPARE(fromClock[i], fromSettings[i]);
    QVERIFY(!f.port.PortOpen());
    QVERIFY(f.boxes.shown.isEmpty());
    // The progress bar went through its steps and ends at 0 of 0 to 2.
    auto* progress = f.Find<QProgressBar>("ProgressBar1");
    QCOMPARE(progress->maximum(), 2);
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->value(), 0);
}

void TestMainWindow::sendReadsWhatTheWindowShows()
{
    WindowFixture f;
    f.port.present = {2};
    f.now = {13, 45, 9};
    QVERIFY(f.Open());
    f.form().SetSwitch(1);
    f.form().SetSpinner(Control::VScSTime, 420);
    f.form().SetSpinner(Control::VScETime, 1140);
    f.form().SetControlText(Control::TxtDJS, "999");
    f.form().SetCountDown(true);
    f.form().SetControlText(Control::ComBright, "5");
    f.port.sent.clear();
    QTest::mouseClick(f.Find("CmdSndClk_1"), Qt::LeftButton);
    // The worked example: 999 counting down, brightness 5, 07:00 to 19:00 on, at 13:45:09.
    QCOMPARE(QByteArray::fromStdString(f.port.sent).toHex(' '), QByteArray("48 65 6c 6c 6f 09 45 13 03 e7 03 87 00 13 00"));

    // A name that is no port: the message, and nothing touches the port.
    f.Find<QComboBox>("ComSele")->setEditText(QStringLiteral("COM2 "));
    f.port.sent.clear();
    QTest::mouseClick(f.Find("CmdSndClk_0"), Qt::LeftButton);
    QCOMPARE(f.boxes.shown, QStringList{QStringLiteral("接続端子位地設定エラー!|エラー発生")});
    QVERIFY(f.port.sent.empty());
}

// Wherever two controls of one container overlap, a click must reach the one that takes
// clicks: never a label, and a spinner's arrow rather than the box beside it.
void TestMainWindow::clicksReachTheControlWhereControlsTouch()
{
    WindowFixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    const auto rank = [](QWidget* w) { return w->inherits("QLabel") ? 0 : w->inherits("QScrollBar") ? 2 : 1; };
    int overlaps = 0;
    QList<QWidget*> containers = f.window.findChildren<QWidget*>();
    containers << &f.window;
    for (QWidget* container : containers) {
        if (container->inherits("QComboBox"))
            continue;
        const QList<QWidget*> children = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* a : children) {
            for (QWidget* b : children) {
                const QRect overlap = a->geometry() & b->geometry();
                if (a >= b || overlap.isEmpty() || rank(a) == rank(b))
                    continue;
                ++overlaps;
                QWidget* expected = rank(a) > rank(b) ? a : b;
                for (const QPoint corner : {overlap.topLeft(), overlap.bottomRight()}) {
                    QWidget* hit = container->childAt(corner);
                    while (hit && hit->parentWidget() != container)
                        hit = hit->parentWidget();
                    QVERIFY2(hit == expected, qPrintable(a->objectName() + " / " + b->objectName() + " at "
                                                         + QString::number(corner.x()) + "," + QString::number(corner.y())
                                                         + ": " + (hit ? hit->objectName() : QStringLiteral("nothing"))));
                }
            }
        }
    }
    // Label2, Label5, Label6, Label7 and both time boxes with their spinners.
    QCOMPARE(overlaps, 6);
}

void TestMainWindow::pastedOrDroppedKeepsTheFirstLine_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("dropped"); // dragged in and dropped where the cursor is shown, not pasted
    QTest::addColumn<QString>("before"); // the box's text, the cursor at '|'
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");

    QTest::newRow("TxtSTime, a time and a line feed") << "TxtSTime" << false << "|" << "7:30\n" << "7:30";
    QTest::newRow("TxtETime, CR LF and more lines") << "TxtETime" << false << "|" << "18:15\r\n19:00\r\n" << "18:15";
    QTest::newRow("TxtDJS, into the middle") << "TxtDJS" << false << "1|2" << "3\n4" << "132";
    QTest::newRow("TxtDJS, a line feed first") << "TxtDJS" << false << "|9" << "\n42" << "9";
    QTest::newRow("ComBright, a carriage return") << "ComBright" << false << "|" << "8\r" << "8";
    QTest::newRow("ComSele, two names") << "ComSele" << false << "|" << "COM3\nCOM4" << "COM3";
    QTest::newRow("ComSele, no line break") << "ComSele" << false << "COM|" << "12" << "COM12";
    QTest::newRow("TxtDJS, dropped into the middle") << "TxtDJS" << true << "1|2" << "3\n4" << "132";
    QTest::newRow("ComSele, dropped after the name") << "ComSele" << true << "COM|" << "12\r\nCOM4" << "COM12";
}

void TestMainWindow::pastedOrDroppedKeepsTheFirstLine()
{
    QFETCH(QString, control);
    QFETCH(bool, dropped);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, after);

    WindowFixture f;
    QVERIFY(f.Open());
    f.form().SetSwitch(1);
    QWidget* widget = f.Find(control.toLatin1());
    auto* box = qobject_cast<QLineEdit*>(widget);
    if (!box)
        box = qobject_cast<QComboBox*>(widget)->lineEdit();
    box->setFocus();
    box->setText(QString(before).remove(QLatin1Char('|')));
    box->setCursorPosition(static_cast<int>(before.indexOf(QLatin1Char('|'))));
    const QString text = QString(pasted).replace(QLatin1String("\\n"), QLatin1String("\n")).replace(QLatin1String("\\r"), QLatin1String("\r"));
    if (dropped) {
        // Dropped in the middle of the stretch that puts the cursor where it is, with the cursor
        // then moved away: the drop's place counts.
        std::vector<int> stretch;
        for (int x = 0; x < box->width(); ++x)
            if (box->cursorPositionAt({x, box->height() / 2}) == box->cursorPosition())
                stretch.push_back(x);
        QVERIFY(!stretch.empty());
        const QPoint at(stretch[stretch.size() / 2], box->height() / 2);
        box->end(false);
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &drop);
        QVERIFY(enter.isAccepted() && drop.isAccepted());
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(box, QKeySequence::Paste);
    }
    QCOMPARE(box->text(), after);

    // What the box shows is what counts: the typed time, and the file written at closing.
    QTest::keyClick(box, Qt::Key_Tab);
    bool cancel = false;
    f.form().Form_Unload(cancel);
    const QStringList lines = f.IniLines();
    if (control == QLatin1String("TxtSTime"))
        QVERIFY(lines.contains(QStringLiteral("StartWorkTime=450")));
    if (control == QLatin1String("TxtDJS"))
        QVERIFY(lines.contains(QStringLiteral("DDD=") + after));
    if (control == QLatin1String("ComBright"))
        QVERIFY(lines.contains(QStringLiteral("Bright=") + after));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
