#pragma once
// ComSele as the port scan fills it: its list, and its text with the item that matches it.

#include <string>

#include "link/PortDiscovery.h"
#include "ui/FormView.h"

namespace tallymark {

class ComSeleList final : public PortList {
public:
    explicit ComSeleList(FormView& view) : view_(view) { }
    void Clear() override;
    void AddItem(const std::string& item) override;
    void InsertItem(int index, const std::string& item) override;
    void RemoveItem(int index) override;
    int ListCount() const override;
    std::string List(int index) const override;
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    FormView& view_;
};

} // namespace tallymark
