#pragma once
// ComSele as the port scan sees it: an editable combo box whose list the scan refills.

#include "link/PortDiscovery.h"

class QComboBox;

namespace tallymark {

class ComboPortList : public PortList {
public:
    explicit ComboPortList(QComboBox& combo);

    void Clear() override;
    void AddItem(const std::string& item) override;
    int ListCount() const override;
    std::string List(int index) const override;
    void SetText(const std::string& text) override;

private:
    QComboBox& combo_;
};

} // namespace tallymark
