#pragma once
// The window without a toolkit: every control of the table as plain state, made as the table
// makes it, and a log of what the behaviour does to the screen, for tests of Form1 alone.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ui/FormView.h"

namespace tallymark::testing {

class FakeFormView final : public FormView {
public:
    struct State {
        std::string text;
        int value = 0;
        bool enabled = true;
        int minimum = 0, maximum = ProgressMaximumAtStart;
        std::vector<std::string> items;
        int listIndex = -1;
        bool dropped = false;
    };

    std::array<State, ControlCount> controls;
    std::vector<std::string> log; // "TxtSTime=07:30", "enabled TxtSTime 0", "focus OptInD", "message text|title", ...
    bool answerYes = false;       // the answer to every Yes/No question
    std::function<void()> onDoEvents;
    std::function<void()> onQuestion;
    std::optional<Control> focus;

    FakeFormView()
    {
        for (const ControlRow& row : Controls()) {
            (*this)[row.id].text = std::string(row.caption);
            ShowAsCreated(*this, row);
        }
        log.clear();
    }

    State& operator[](Control control) { return controls[static_cast<std::size_t>(control)]; }
    const State& operator[](Control control) const { return controls[static_cast<std::size_t>(control)]; }

    std::string Text(Control control) const override { return (*this)[control].text; }
    void SetText(Control control, const std::string& text) override
    {
        (*this)[control].text = text;
        log.push_back(std::string(UniqueName(control)) + "=" + text);
    }
    int Value(Control control) const override { return (*this)[control].value; }
    void SetValue(Control control, int value) override { (*this)[control].value = value; }
    bool Enabled(Control control) const override { return (*this)[control].enabled; }
    void SetEnabled(Control control, bool enabled) override
    {
        (*this)[control].enabled = enabled;
        log.push_back("enabled " + std::string(UniqueName(control)) + " " + (enabled ? "1" : "0"));
    }
    int Minimum(Control control) const override { return (*this)[control].minimum; }
    int Maximum(Control control) const override { return (*this)[control].maximum; }
    void SetRange(Control control, int minimum, int maximum) override
    {
        (*this)[control].minimum = minimum;
        (*this)[control].maximum = maximum;
    }
    void ClearList(Control control) override
    {
        (*this)[control].items.clear();
        (*this)[control].text.clear();
        (*this)[control].listIndex = -1;
    }
    void AddItem(Control control, const std::string& item) override { (*this)[control].items.push_back(item); }
    void InsertItem(Control control, int index, const std::string& item) override
    {
        auto& items = (*this)[control].items;
        items.insert(items.begin() + index, item);
    }
    void RemoveItem(Control control, int index) override
    {
        auto& items = (*this)[control].items;
        items.erase(items.begin() + index);
    }
    int ListCount(Control control) const override { return static_cast<int>((*this)[control].items.size()); }
    std::string ListItem(Control control, int index) const override
    {
        return (*this)[control].items.at(static_cast<std::size_t>(index));
    }
    int ListIndex(Control control) const override { return (*this)[control].listIndex; }
    void SetListIndex(Control control, int index) override { (*this)[control].listIndex = index; }
    bool DroppedDown(Control control) const override { return (*this)[control].dropped; }
    void SetFocus(Control control) override
    {
        focus = control;
        log.push_back("focus " + std::string(UniqueName(control)));
    }
    void SetToolTip(Control control, const std::string& text) override
    {
        log.push_back("tooltip " + std::string(UniqueName(control)) + "=" + text);
    }
    void ShowMessage(std::string_view text, std::string_view title) override
    {
        log.push_back("message " + std::string(text) + "|" + std::string(title));
    }
    bool AskYesNo(std::string_view text, std::string_view title) override
    {
        log.push_back("question " + std::string(text) + "|" + std::string(title));
        if (onQuestion)
            onQuestion();
        return answerYes;
    }
    void DoEvents() override
    {
        if (onDoEvents)
            onDoEvents();
    }
    void RequestClose() override { log.push_back("close requested"); }
};

} // namespace tallymark::testing
