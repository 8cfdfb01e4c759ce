// The window's widgets, made from the table of controls as the window is created.

#include "ui/qt/MainWindow.h"

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
#include <vector>

#include "ui/SingleLine.h"
#include "ui/qt/TimeSpinner.h"
#include "ui/qt/WorkTimeSwitch.h"

namespace tallymark {

namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect OnScreen(const Twips& place)
{
    const Pixels pixels = InPixels(place);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

// Every edit of the operator's passes here before it reaches a single-line box.
class FirstLineOnly : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const std::u16string_view text(reinterpret_cast<const char16_t*>(input.utf16()),
                                       static_cast<std::size_t>(input.size()));
        const SingleLineEdit kept = KeepFirstLine(text, static_cast<std::size_t>(std::max(pos, 0)));
        if (kept.text.size() != text.size()) {
            input = QString::fromUtf16(kept.text.data(), static_cast<qsizetype>(kept.text.size()));
            pos = static_cast<int>(kept.cursor);
        }
        return Acceptable;
    }
};

// The first of the faces that is installed. Looking it up in the list of installed families
// spares the start-up Qt's search for substitutes and aliases of every face that is missing,
// which costs more than building the whole window.
QFont FontFor(const FontSpec& spec)
{
    const QStringList known = QFontDatabase::families();
    QStringList faces;
    for (std::string_view face : spec.faces)
        faces << FromUtf8(face);
    const auto installed = std::find_if(faces.begin(), faces.end(),
                                        [&](const QString& face) { return known.contains(face, Qt::CaseInsensitive); });
    QFont font;
    font.setFamilies(installed != faces.end() ? QStringList{*installed} : faces);
    font.setPointSizeF(spec.points);
    font.setWeight(static_cast<QFont::Weight>(spec.weight));
    font.setUnderline(spec.underline);
    font.setStyleHint(&spec == &TitleFont ? QFont::Serif : QFont::TypeWriter);
    return font;
}

QWidget* Make(const ControlSpec& spec, QWidget* container)
{
    const QString caption = FromUtf8(spec.caption);
    switch (spec.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(caption, container);
        label->setAlignment(spec.align == TextAlign::Center ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case ControlKind::Frame: return new QGroupBox(container);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(container);
        if (spec.maxLength > 0)
            box->setMaxLength(spec.maxLength);
        box->setValidator(new FirstLineOnly(box));
        box->setText(caption);
        box->setReadOnly(spec.readOnly);
        if (spec.align == TextAlign::Center)
            box->setAlignment(Qt::AlignCenter);
        return box;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(container);
        combo->setEditable(true);
        // Typed text stays exactly as typed: it is neither completed from the list nor added to it.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setValidator(new FirstLineOnly(combo));
        for (std::string_view item : spec.items)
            combo->addItem(FromUtf8(item));
        combo->setCurrentIndex(combo->findText(caption, Qt::MatchExactly | Qt::MatchCaseSensitive));
        combo->setEditText(caption);
        return combo;
    }
    case ControlKind::CheckBox: {
        auto* box = new WorkTimeSwitch(caption, container);
        box->setValue(spec.value);
        return box;
    }
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(caption, container);
        option->setChecked(spec.value != 0);
        return option;
    }
    case ControlKind::VScrollBar: {
        auto* spinner = new TimeSpinner(container);
        spinner->setMinute(spec.value);
        return spinner;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, container);
        button->setProperty("index", spec.index);
        return button;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(container);
        bar->setTextVisible(false);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::Window:
    case ControlKind::Timer:
    case ControlKind::SerialPort: break;
    }
    return nullptr;
}

} // namespace

void MainWindow::CreateControls()
{
    const ControlSpec& form = SpecOf(Control::Form1);
    setWindowTitle(FromUtf8(form.caption));
    setWindowIcon(QIcon(QStringLiteral(":/tallymark/tallymark.ico")));
    setObjectName(FromUtf8(form.name));
    setGeometry(OnScreen(form.place));
    setFixedSize(size());
    setFont(FontFor(WindowFont));
    widgets_[static_cast<std::size_t>(Control::Form1)] = this;

    for (const ControlSpec& spec : Controls()) {
        if (spec.kind == ControlKind::Timer) {
            timer1_ = new QTimer(this);
            timer1_->setObjectName(FromUtf8(spec.name));
            timer1_->setInterval(spec.value);
        }
        QWidget* widget = spec.id == Control::Form1 ? nullptr : Make(spec, Widget(spec.container));
        if (!widget)
            continue;
        widget->setObjectName(FromUtf8(UniqueName(spec.id)));
        widget->setGeometry(OnScreen(spec.place));
        if (spec.font == FontRole::Title) {
            widget->setFont(FontFor(TitleFont));
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, QColor(TitleColour.red, TitleColour.green, TitleColour.blue));
            widget->setPalette(palette);
        }
        widgets_[static_cast<std::size_t>(spec.id)] = widget;
    }

    // Qt stacks a widget above the siblings made before it; raising every control in the
    // order of its layer puts each layer above the ones below it.
    std::vector<const ControlSpec*> bottomUp;
    for (const ControlSpec& spec : Controls())
        if (Widget(spec.id) && spec.id != Control::Form1)
            bottomUp.push_back(&spec);
    std::stable_sort(bottomUp.begin(), bottomUp.end(),
                     [](auto* a, auto* b) { return StackingLayer(a->kind) < StackingLayer(b->kind); });
    for (const ControlSpec* spec : bottomUp)
        Widget(spec->id)->raise();
}

} // namespace tallymark
