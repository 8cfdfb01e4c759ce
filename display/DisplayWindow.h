#pragma once
// The virtual display's window: the LED sign, a line that spells out its state, and on
// request the bytes of the last update with their meaning.

#include <QMainWindow>
#include <QTimer>

#include <optional>

#include "display/DisplayModel.h"
#include "display/UpdateReader.h"

class LedSign;
class QCheckBox;
class QLabel;
class QTreeWidget;

class DisplayWindow : public QMainWindow {
    Q_OBJECT

public:
    // `lineDescription` tells the user where a panel finds this display.
    explicit DisplayWindow(const QString& lineDescription, QWidget* parent = nullptr);

    void applyUpdate(const tallymark::display::ReceivedUpdate& update);
    void noteRejected(const tallymark::display::RejectedRun& run);
    void showLineFailure(const QString& reason);
    void setBytesShown(bool shown);

private:
    void tick();
    void refresh();
    void showBytes(const tallymark::DisplayRecord& record);
    void updateStatus();

    tallymark::display::DisplayModel m_model;
    QString m_lineDescription;
    QString m_lineFailure;
    LedSign* m_sign = nullptr;
    QLabel* m_summary = nullptr;
    QCheckBox* m_showBytes = nullptr;
    QLabel* m_bytesCaption = nullptr;
    QTreeWidget* m_bytes = nullptr;
    QWidget* m_bytesPanel = nullptr;
    QLabel* m_status = nullptr;
    QTimer m_ticker;
    int m_updates = 0;
    int m_rejected = 0;
};
