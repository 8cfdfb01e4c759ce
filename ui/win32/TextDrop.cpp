#include "ui/win32/TextDrop.h"

#include <ole2.h>

#include <string>
#include <utility>

namespace tallymark {

namespace {

FORMATETC UnicodeText()
{
    return {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

std::u16string TextOf(IDataObject* data)
{
    FORMATETC format = UnicodeText();
    STGMEDIUM medium{};
    std::u16string text;
    if (!data || data->GetData(&format, &medium) != S_OK)
        return text;
    if (const auto* characters = static_cast<const char16_t*>(GlobalLock(medium.hGlobal))) {
        const std::u16string_view all(characters, GlobalSize(medium.hGlobal) / sizeof(char16_t));
        text = all.substr(0, all.find(u'\0'));
        GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);
    return text;
}

// The window's one drop target: a copy where a box under the pointer takes text, nothing
// elsewhere.
class TextDropTarget final : public IDropTarget {
public:
    explicit TextDropTarget(TextDrops drops) : drops_(std::move(drops)) { }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDropTarget)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) override
    {
        FORMATETC format = UnicodeText();
        text_ = data && data->QueryGetData(&format) == S_OK;
        return DragOver(0, point, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL point, DWORD* effect) override
    {
        *effect = text_ && drops_.takes({point.x, point.y}) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) override
    {
        // Nothing may unwind through the system's frames.
        try {
            *effect = drops_.drop({point.x, point.y}, TextOf(data)) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        } catch (...) {
            *effect = DROPEFFECT_NONE;
        }
        return S_OK;
    }

private:
    TextDrops drops_;
    ULONG references_ = 1;
    bool text_ = false;
};

} // namespace

bool AcceptTextDrops(HWND window, TextDrops drops)
{
    auto* target = new TextDropTarget(std::move(drops));
    const bool accepted = RegisterDragDrop(window, target) == S_OK;
    target->Release(); // the system holds its own reference while the window accepts drops
    return accepted;
}

void RefuseTextDrops(HWND window)
{
    RevokeDragDrop(window);
}

void ReplaceSelection(HWND box, std::u16string_view text)
{
    const std::wstring line(text.begin(), text.end());
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
}

} // namespace tallymark
