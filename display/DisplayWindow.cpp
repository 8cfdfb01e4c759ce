#include "display/DisplayWindow.h"

#include <algorithm>

#include <QCheckBox>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "display/LedSign.h"
#include "display/UpdateText.h"

using namespace tallymark::display;
using tallymark::HexBytes;
using tallymark::WholeUpdate;

namespace {

Instant Now()
{
    return std::chrono::steady_clock::now();
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// The line that spells out the display's state under the sign.
QString Summary(unsigned dayCount, bool countsUp, const WorkTime& work, bool digitsLit, int brightnessCode)
{
    QString workText;
    if (!work.on)
        workText = DisplayWindow::tr("working time off (set to %1–%2), digits always lit");
    else if (digitsLit)
        workText = DisplayWindow::tr("working time %1–%2, digits lit");
    else
        workText = DisplayWindow::tr("working time %1–%2, digits dark outside it");
    return DisplayWindow::tr("Day %1, counting %2 at midnight · %3 · brightness %4 of 8 (code %5)")
        .arg(dayCount)
        .arg(countsUp ? DisplayWindow::tr("up") : DisplayWindow::tr("down"))
        .arg(workText.arg(Text(MinuteText(work.start)), Text(MinuteText(work.end))))
        .arg(BrightnessSetting(static_cast<std::uint8_t>(brightnessCode)))
        .arg(brightnessCode);
}

// The width the summary takes on one line in its widest form: the largest count, and each
// direction and kind of working time.
int WidestSummary(const QFontMetrics& metrics)
{
    int widest = 0;
    for (const bool up : {false, true}) {
        for (const bool on : {false, true}) {
            for (const bool lit : {false, true}) {
                const WorkTime work{on, 23 * 60 + 58, 23 * 60 + 58};
                widest = std::max(widest, metrics.horizontalAdvance(Summary(65535, up, work, lit, 0)));
            }
        }
    }
    return widest;
}

} // namespace

DisplayWindow::DisplayWindow(const QString& lineDescription, QWidget* parent)
    : QMainWindow(parent)
      // Until the first update the display runs on the clock it kept while switched off,
      // which the host's clock stands in for.
      ,
      m_model(tallymark::LocalTimeOfDay(), Now()), m_lineDescription(lineDescription)
{
    setWindowTitle(tr("Tallymark display"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_sign = new LedSign(central);
    layout->addWidget(m_sign, 1);

    m_summary = new QLabel(central);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);

    m_showBytes = new QCheckBox(tr("Show the last update's &bytes"), central);
    layout->addWidget(m_showBytes);

    m_bytesPanel = new QWidget(central);
    auto* bytesLayout = new QVBoxLayout(m_bytesPanel);
    bytesLayout->setContentsMargins(0, 0, 0, 0);
    m_bytesCaption = new QLabel(tr("No update has arrived yet."), m_bytesPanel);
    m_bytesCaption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bytesLayout->addWidget(m_bytesCaption);
    m_bytes = new QTreeWidget(m_bytesPanel);
    m_bytes->setColumnCount(2);
    m_bytes->setHeaderLabels({tr("Bytes"), tr("Meaning")});
    m_bytes->setRootIsDecorated(false);
    m_bytes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_bytes->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    bytesLayout->addWidget(m_bytes);
    // Room for the greeting and the ten record bytes without scrolling.
    m_bytes->setMinimumHeight(m_bytes->fontMetrics().lineSpacing() * 14);
    m_bytesPanel->setVisible(false);
    layout->addWidget(m_bytesPanel);
    connect(m_showBytes, &QCheckBox::toggled, this, [this](bool shown) {
        if (shown == m_bytesPanel->isVisibleTo(this))
            return;
        m_bytesPanel->setVisible(shown);
        // The sign keeps its size: the window grows by the bytes and shrinks again.
        if (!isMaximized() && !isFullScreen()) {
            const int extra = m_bytesPanel->sizeHint().height() + centralWidget()->layout()->spacing();
            resize(width(), height() + (shown ? extra : -extra));
        }
    });
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_B), this);
    connect(toggle, &QShortcut::activated, m_showBytes, &QCheckBox::toggle);

    setCentralWidget(central);
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);

    m_ticker.setSingleShot(true);
    m_ticker.setTimerType(Qt::PreciseTimer);
    connect(&m_ticker, &QTimer::timeout, this, &DisplayWindow::tick);
    tick();
    updateStatus();
    // Wide enough for the summary of any state on one line, so that it never wraps or
    // gets cut at the size the window opens with; a window made narrower wraps it.
    const QMargins margins = layout->contentsMargins();
    resize(std::max(sizeHint().width(), WidestSummary(m_summary->fontMetrics()) + margins.left() + margins.right()),
           sizeHint().height());
}

void DisplayWindow::applyUpdate(const ReceivedUpdate& update)
{
    const auto decoded = DecodeUpdate(update.record);
    if (!decoded)
        return;
    m_model.Apply(*decoded, update.arrival);
    ++m_updates;
    showBytes(update.record);
    tick();
    updateStatus();
}

void DisplayWindow::noteRejected(const RejectedRun&)
{
    ++m_rejected;
    updateStatus();
}

void DisplayWindow::showLineFailure(const QString& reason)
{
    m_lineFailure = reason;
    updateStatus();
}

void DisplayWindow::setBytesShown(bool shown)
{
    m_showBytes->setChecked(shown);
}

void DisplayWindow::tick()
{
    m_model.AdvanceTo(Now());
    refresh();
    // Wake at the display clock's next second, so that the seconds step evenly.
    m_ticker.start(m_model.UntilNextSecond() + std::chrono::milliseconds(2));
}

void DisplayWindow::refresh()
{
    const WorkTime& work = m_model.Work();
    m_sign->setState(
        {m_model.DayCount(), m_model.DigitsLit(), m_model.Clock(), m_model.CountsUp(), work, m_model.Intensity()});
    m_summary->setText(
        Summary(m_model.DayCount(), m_model.CountsUp(), work, m_model.DigitsLit(), m_model.BrightnessCode()));
}

void DisplayWindow::showBytes(const tallymark::DisplayRecord& record)
{
    m_bytes->clear();
    for (const ByteMeaning& row : DescribeUpdate(record))
        new QTreeWidgetItem(m_bytes, {Text(row.hex), Text(row.meaning)});
    m_bytesCaption->setText(tr("Update %1, received %2: %3")
                                .arg(m_updates)
                                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")))
                                .arg(Text(HexBytes(WholeUpdate(record)))));
}

void DisplayWindow::updateStatus()
{
    QString text = tr("%1 · updates %2 · rejected runs %3").arg(m_lineDescription).arg(m_updates).arg(m_rejected);
    if (!m_lineFailure.isEmpty())
        text += tr(" · line failed: %1").arg(m_lineFailure);
    m_status->setText(text);
}
