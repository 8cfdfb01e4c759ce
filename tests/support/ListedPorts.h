#pragma once
// The port list as a plain list: what the port scan leaves in ComSele, for tests and
// benchmarks on any platform.

#include <string>
#include <vector>

#include "link/PortDiscovery.h"

namespace tallymark::testing {

class ListedPorts : public PortList {
public:
    std::vector<std::string> items;
    std::string text;

    void Clear() override
    {
        items.clear();
        text.clear();
    }
    void AddItem(const std::string& item) override { items.push_back(item); }
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int index) const override { return items.at(static_cast<std::size_t>(index)); }
    void SetText(const std::string& value) override { text = value; }
};

} // namespace tallymark::testing
