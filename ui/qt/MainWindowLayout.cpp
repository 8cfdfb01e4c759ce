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
#include <QValidator>

#include <algorithm>
#include <vector>

#include "ui/SingleLine.h"
#include "ui/qt/OptionButton.h"
#include "ui/qt/QtText.h"
#include "ui/qt/TimeSpinner.h"
#include "ui/qt/WorkTimeSwitch.h"

namespace tallymark {

namespace {

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
        const std::u16string_view text = Utf16Of(input);
        const SingleLineEdit kept = KeepFirstLine(text, static_cast<std::size_t>(std::max(pos, 0)));
        if (kept.text.size() != text.size()) {
            input = QString::fromUtf16(kept.text.data(), static_cast<qsizetype>(kept.text.size()));
            pos = static_cast<int>(kept.cursor);
        }
        return Acceptable;
    }
};

// Looking the faces up in the list of installed families spares the start-up Qt's search for
// substitutes and aliases of every face that is missing, which costs more than building the
// whole window.
QFont FontFor(const FontStyle& style)
{
    const QStringList known = QFontDatabase::families();
    QStringList faces;
    for (std::string_view face :
         FacesToAsk(style, [&](std::string_view face) { return known.contains(FromUtf8(face), Qt::CaseInsensitive); }))
        faces << FromUtf8(face);
    QFont font;
    font.setFamilies(faces);
    font.setPointSizeF(style.points);
    font.setWeight(static_cast<QFont::Weight>(style.weight));
    font.setUnderline(style.underline);
    font.setStyleHint(&style == &TitleFont ? QFont::Serif : QFont::TypeWriter);
    return font;
}

QWidget* Make(const ControlRow& row, QWidget* container)
{
    const QString caption = FromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(caption, container);
        label->setAlignment(row.align == TextAlign::Center ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case ControlKind::Frame: return new QGroupBox(container);
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(container);
        if (row.maxLength > 0)
            box->setMaxLength(row.maxLength);
        box->setValidator(new FirstLineOnly(box));
        box->setReadOnly(row.readOnly);
        if (row.align == TextAlign::Center)
            box->setAlignment(Qt::AlignCenter);
        return box;
    }
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(container);
        combo->setEditable(true);
        // Typed text stays exactly as typed: it is neither completed from the list nor added to it.
        combo->setCompleter(nullptr);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(DropDownRows);
        combo->setValidator(new FirstLineOnly(combo));
        return combo;
    }
    case ControlKind::CheckBox: return new WorkTimeSwitch(caption, container);
    case ControlKind::OptionButton: return new OptionButton(caption, container);
    case ControlKind::VScrollBar: return new TimeSpinner(container);
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(caption, container);
        button->setProperty("index", row.index);
        return button;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(container);
        bar->setTextVisible(false);
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
    const ControlRow& form = RowOf(Control::Form1);
    setWindowTitle(FromUtf8(form.caption));
    setWindowIcon(QIcon(QStringLiteral(":/tallymark/tallymark.ico")));
    setObjectName(FromUtf8(form.name));
    setGeometry(OnScreen(form.place));
    setFixedSize(size());
    setFont(FontFor(WindowFont));
    widgets_[static_cast<std::size_t>(Control::Form1)] = this;

    for (const ControlRow& row : Controls()) {
        if (row.kind == ControlKind::Timer) {
            timer1_ = new QTimer(this);
            timer1_->setObjectName(FromUtf8(row.name));
            timer1_->setInterval(row.value);
        }
        QWidget* widget = row.id == Control::Form1 ? nullptr : Make(row, Widget(row.container));
        if (!widget)
            continue;
        widget->setObjectName(FromUtf8(UniqueName(row.id)));
        widget->setGeometry(OnScreen(row.place));
        // A drop goes only where the table says text goes; a combo box's field is its own widget.
        widget->setAcceptDrops(TakesText(row));
        if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit())
            combo->lineEdit()->setAcceptDrops(TakesText(row));
        if (row.font == FontRole::Title)
            widget->setFont(FontFor(TitleFont));
        if (const std::optional<Colour> colour = TextColourOf(row.id)) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, QColor(colour->red, colour->green, colour->blue));
            widget->setPalette(palette);
        }
        widgets_[static_cast<std::size_t>(row.id)] = widget;
        ShowAsCreated(*this, row);
    }

    // Qt stacks a widget above the siblings made before it; raising every control from the
    // bottom up puts each above the ones beneath it.
    for (const Control control : StackedBottomUp())
        Widget(control)->raise();
}

} // namespace tallymark
