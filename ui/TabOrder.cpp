#include "ui/TabOrder.h"

#include <algorithm>
#include <vector>

namespace tallymark {

namespace {

// The controls that have a tab index, in tab order.
std::vector<const ControlRow*> TabOrder()
{
    std::vector<const ControlRow*> order;
    for (const ControlRow& row : Controls())
        if (row.tabIndex >= 0)
            order.push_back(&row);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    return order;
}

} // namespace

std::optional<Control> NextTabStop(const FormView& view, Control from, bool backwards)
{
    const std::vector<const ControlRow*> order = TabOrder();
    const auto isStop = [&view](const ControlRow& row) {
        return TakesFocus(row.kind) && view.Enabled(row.id)
            && (row.kind != ControlKind::OptionButton || view.Value(row.id) == 1);
    };
    const auto here = std::find_if(order.begin(), order.end(), [&](auto* row) { return row->id == from; });
    const std::size_t at = here == order.end() ? order.size() - 1 : static_cast<std::size_t>(here - order.begin());
    const std::size_t count = order.size();
    for (std::size_t step = 1; step <= count; ++step) {
        const std::size_t next = backwards ? (at + count - step) % count : (at + step) % count;
        if (isStop(*order[next]))
            return order[next]->id;
    }
    return std::nullopt;
}

Control NextOption(Control from, bool backwards)
{
    // The option buttons of the same container, in tab order, the last followed by the first.
    std::vector<Control> options;
    for (const ControlRow* row : TabOrder())
        if (row->kind == ControlKind::OptionButton && row->container == RowOf(from).container)
            options.push_back(row->id);
    const auto at = static_cast<std::size_t>(std::find(options.begin(), options.end(), from) - options.begin());
    const std::size_t count = options.size();
    return options[backwards ? (at + count - 1) % count : (at + 1) % count];
}

std::optional<Control> FirstTabStop(const FormView& view)
{
    // From the last place in the order, the next stop is the first.
    return NextTabStop(view, TabOrder().back()->id, false);
}

} // namespace tallymark
