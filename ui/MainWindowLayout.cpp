// The window's controls as they stand when it is created, before the load handling runs.
// Places are in twips from the corner of each control's container, as the layout was drawn.

#include "ui/MainWindow.h"

#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>

#include <algorithm>

#include "ui/SingleLine.h"
#include "ui/TimeSpinner.h"
#include "ui/WorkTimeSwitch.h"

namespace tallymark {

namespace {

constexpr int TwipsPerPixel = 15;

// Every edit of the operator's passes here before it reaches the box.
class FirstLineOnly : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const std::u16string_view text(reinterpret_cast<const char16_t*>(input.utf16()), static_cast<std::size_t>(input.size()));
        const SingleLineEdit kept = KeepFirstLine(text, static_cast<std::size_t>(std::max(pos, 0)));
        if (kept.text.size() != text.size()) {
            input = QString::fromUtf16(kept.text.data(), static_cast<qsizetype>(kept.text.size()));
            pos = static_cast<int>(kept.cursor);
        }
        return Acceptable;
    }
};

struct Twips {
    int left, top, width, height;
};

template <typename Control, typename... Args>
Control* Place(QWidget* container, const char* name, Twips place, Args&&... args)
{
    auto* control = new Control(std::forward<Args>(args)..., container);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(place.left / TwipsPerPixel, place.top / TwipsPerPixel,
                         place.width / TwipsPerPixel, place.height / TwipsPerPixel);
    return control;
}

QComboBox* DropDownCombo(QWidget* container, const char* name, Twips place, const QString& text,
                         const QStringList& items)
{
    auto* combo = Place<QComboBox>(container, name, place);
    combo->setEditable(true);
    // Typed text stays exactly as typed: it is neither completed from the list nor added to it.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setValidator(new FirstLineOnly(combo));
    combo->addItems(items);
    combo->setCurrentIndex(static_cast<int>(items.indexOf(text)));
    combo->setEditText(text);
    return combo;
}

QLineEdit* TextBox(QWidget* container, const char* name, Twips place, const QString& text, int maxLength)
{
    auto* box = Place<QLineEdit>(container, name, place);
    if (maxLength > 0)
        box->setMaxLength(maxLength);
    box->setValidator(new FirstLineOnly(box));
    box->setText(text);
    return box;
}

// The first of the families that is installed. Looking it up in the list of installed
// families spares the start-up Qt's search for substitutes and aliases of every family
// that is missing, which costs more than building the whole window.
QFont FontOf(const QStringList& families, qreal pointSize)
{
    QFont font;
    const QStringList known = QFontDatabase::families();
    const auto installed = std::find_if(families.begin(), families.end(),
                                        [&](const QString& family) { return known.contains(family, Qt::CaseInsensitive); });
    font.setFamilies(installed != families.end() ? QStringList{*installed} : families);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

void MainWindow::CreateControls()
{
    setWindowTitle(QStringLiteral("カウントダウン表示器 操作パネル"));
    setWindowIcon(QIcon(QStringLiteral(":/tallymark/tallymark.ico")));
    setObjectName(QStringLiteral("Form1"));
    // The client area where the layout was drawn, 540 and 825 twips from the screen's corner,
    // and of the one size the controls are placed for.
    setGeometry(540 / TwipsPerPixel, 825 / TwipsPerPixel, 7815 / TwipsPerPixel, 5760 / TwipsPerPixel);
    setFixedSize(size());
    // The Windows faces under their Japanese or English names; where both are missing, the
    // IPA faces of the same kind stand in.
    QFont windowFont = FontOf({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic")}, 12);
    windowFont.setStyleHint(QFont::TypeWriter);
    setFont(windowFont);

    const QString send = QStringLiteral("転  送");

    CmdExit = Place<QPushButton>(this, "CmdExit", {5160, 5040, 2415, 495}, QStringLiteral("終  了"));
    ComSele = DropDownCombo(this, "ComSele", {1680, 5100, 1215, 360}, QStringLiteral("COM1"),
                            {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"});
    Frame1 = Place<QGroupBox>(this, "Frame1", {120, 600, 7575, 4215});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    ProgressBar1 = Place<QProgressBar>(this, "ProgressBar1", {3120, 5115, 1770, 330});
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Label2 = Place<QLabel>(this, "Label2", {240, 5130, 1455, 330}, QStringLiteral("COM ポート:"));
    Label1 = Place<QLabel>(this, "Label1", {240, 60, 7335, 495}, QStringLiteral("   カウントダウンＬＥＤ表示器   "));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = FontOf({QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("MS PMincho"), QStringLiteral("IPAPMincho")}, 21.75);
    titleFont.setStyleHint(QFont::Serif);
    titleFont.setWeight(QFont::Bold);
    titleFont.setUnderline(true);
    Label1->setFont(titleFont);
    QPalette titlePalette = Label1->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1->setPalette(titlePalette);

    Frame2 = Place<QGroupBox>(Frame1, "Frame2", {240, 240, 7095, 1095});
    TxtTime = TextBox(Frame2, "TxtTime", {1680, 480, 1215, 360}, QStringLiteral("07:00:00"), 0);
    TxtTime->setAlignment(Qt::AlignCenter);
    // Every tick overwrites the clock, so typing into it would only flicker.
    TxtTime->setReadOnly(true);
    CmdSndClk[0] = Place<QPushButton>(Frame2, "CmdSndClk_0", {4320, 360, 2175, 495}, send);
    Label5 = Place<QLabel>(Frame2, "Label5", {480, 510, 1215, 300}, QStringLiteral("現在時刻:"));

    Frame3 = Place<QGroupBox>(Frame1, "Frame3", {240, 1440, 7095, 2535});
    CmdSndClk[1] = Place<QPushButton>(Frame3, "CmdSndClk_1", {4320, 1740, 2175, 495}, send);
    OptDeD = Place<QRadioButton>(Frame3, "OptDeD", {3840, 1110, 855, 255}, QStringLiteral("減算"));
    OptInD = Place<QRadioButton>(Frame3, "OptInD", {2760, 1110, 855, 255}, QStringLiteral("加算"));
    OptDeD->setChecked(true);
    TxtDJS = TextBox(Frame3, "TxtDJS", {1680, 1080, 615, 360}, QStringLiteral("999"), 3);
    TxtETime = TextBox(Frame3, "TxtETime", {5400, 360, 735, 390}, QStringLiteral("19:00"), 5);
    VScETime = Place<TimeSpinner>(Frame3, "VScETime", {6120, 345, 375, 375});
    VScETime->setMinute(1140);
    VScSTime = Place<TimeSpinner>(Frame3, "VScSTime", {3720, 345, 375, 390});
    VScSTime->setMinute(420);
    TxtSTime = TextBox(Frame3, "TxtSTime", {3000, 360, 735, 360}, QStringLiteral("07:00"), 5);
    ChkWEn = Place<WorkTimeSwitch>(Frame3, "ChkWEn", {480, 375, 1335, 300}, QStringLiteral("時間切替"));
    ComBright = DropDownCombo(Frame3, "ComBright", {5760, 1080, 735, 360}, QStringLiteral("5"),
                              {"1", "2", "3", "4", "5", "6", "7", "8"});
    Label7 = Place<QLabel>(Frame3, "Label7", {5040, 1110, 855, 300}, QStringLiteral("輝度:"));
    Label6 = Place<QLabel>(Frame3, "Label6", {480, 1110, 1215, 300}, QStringLiteral("設定日数:"));
    Label4 = Place<QLabel>(Frame3, "Label4", {4680, 390, 615, 300}, QStringLiteral("終了"));
    Label3 = Place<QLabel>(Frame3, "Label3", {2280, 390, 615, 300}, QStringLiteral("開始"));

    for (std::int16_t index : {0, 1})
        CmdSndClk[index]->setProperty("index", index);

    // Labels lie beneath the controls they name, so that a click where they touch reaches
    // the control; a spinner lies above its text box, so that its arrows keep their width.
    for (QLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6, Label7})
        label->lower();
    VScSTime->raise();
    VScETime->raise();
}

void MainWindow::SetTabOrder()
{
    // Of the option pair only the selected button is a tab stop; the other still takes the
    // focus from a click, which selects it.
    for (QRadioButton* option : {OptInD, OptDeD}) {
        const auto follow = [option](bool selected) { option->setFocusPolicy(selected ? Qt::StrongFocus : Qt::ClickFocus); };
        follow(option->isChecked());
        connect(option, &QRadioButton::toggled, option, follow);
    }
    const QList<QWidget*> order = {ChkWEn,       TxtSTime, VScSTime, VScETime, TxtETime,
                                   TxtDJS,       ComBright, CmdSndClk[0], TxtTime, ComSele,
                                   CmdExit,      OptInD,    OptDeD,   CmdSndClk[1]};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ChkWEn->setFocus();
}

} // namespace tallymark
