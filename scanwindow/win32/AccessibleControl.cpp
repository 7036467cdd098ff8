#include "AccessibleControl.h"

#include <oleacc.h>

#include <atomic>
#include <string>
#include <utility>

#include "WideText.h"

namespace ombrix::AccessibleControl {

namespace {

struct Described {
    std::wstring name;  // empty: the window's text
    long role;
};

long systemRole(const ControlDescription& description)
{
    switch (description.role) {
    case AccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::Table: return ROLE_SYSTEM_LIST;
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Tree: return ROLE_SYSTEM_OUTLINE;
    case AccessibleRole::CheckBox: return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case AccessibleRole::Grouping: return ROLE_SYSTEM_GROUPING;
    case AccessibleRole::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    case AccessibleRole::None: break;
    }
    // An etched rule only divides: a reader passes it as a separator.
    return ROLE_SYSTEM_SEPARATOR;
}

bool isSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The object a screen reader gets for one control: its own name and role over
// the system's standard object, which answers everything else. Without a
// standard object (Wine has none for most classes) it answers from the window.
class Provider final : public IAccessible {
public:
    Provider(HWND window, Described described) : window_(window), described_(std::move(described))
    {
        if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&standard_))))
            standard_ = nullptr;
    }

    ~Provider()
    {
        if (standard_)
            standard_->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!isSelf(child))
            return standard_ ? standard_->get_accName(child, name) : E_INVALIDARG;
        std::wstring text = described_.name;
        if (text.empty()) {
            text.resize(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1);
            text.resize(static_cast<std::size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
        }
        *name = text.empty() ? nullptr : SysAllocString(text.c_str());
        return *name ? S_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!isSelf(child))
            return standard_ ? standard_->get_accRole(child, role) : E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = described_.role;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        if (standard_)
            return standard_->get_accState(child, state);
        if (!isSelf(child))
            return E_INVALIDARG;
        long flags = 0;
        if (GetWindowLongPtrW(window_, GWL_STYLE) & WS_TABSTOP)
            flags |= STATE_SYSTEM_FOCUSABLE;
        if (GetFocus() == window_)
            flags |= STATE_SYSTEM_FOCUSED;
        if (!IsWindowEnabled(window_))
            flags |= STATE_SYSTEM_UNAVAILABLE;
        if (!IsWindowVisible(window_))
            flags |= STATE_SYSTEM_INVISIBLE;
        if (described_.role == ROLE_SYSTEM_CHECKBUTTON && SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED)
            flags |= STATE_SYSTEM_CHECKED;
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (standard_)
            return standard_->accLocation(left, top, width, height, child);
        RECT box;
        if (!isSelf(child) || !GetWindowRect(window_, &box))
            return E_INVALIDARG;
        *left = box.left;
        *top = box.top;
        *width = box.right - box.left;
        *height = box.bottom - box.top;
        return S_OK;
    }

    // A link's icon or text acts as a click on it, as the mouse does.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (standard_)
            return standard_->accDoDefaultAction(child);
        if (!isSelf(child))
            return E_INVALIDARG;
        wchar_t className[16] = {};
        GetClassNameW(window_, className, 16);
        if (std::wstring_view(className) == L"Button")
            SendMessageW(window_, BM_CLICK, 0, 0);
        else if (described_.role == ROLE_SYSTEM_LINK)
            SendMessageW(GetParent(window_), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(window_), STN_CLICKED), reinterpret_cast<LPARAM>(window_));
        else
            return DISP_E_MEMBERNOTFOUND;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (standard_)
            return standard_->get_accParent(parent);
        *parent = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (standard_)
            return standard_->get_accChildCount(count);
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        if (standard_)
            return standard_->get_accChild(child, object);
        *object = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return standard_ ? standard_->get_accValue(child, value) : empty(value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return standard_ ? standard_->get_accDescription(child, text) : empty(text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return standard_ ? standard_->get_accHelp(child, text) : empty(text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        if (standard_)
            return standard_->get_accHelpTopic(file, child, topic);
        *topic = 0;
        return empty(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return standard_ ? standard_->get_accKeyboardShortcut(child, text) : empty(text);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override
    {
        return standard_ ? standard_->get_accDefaultAction(child, text) : empty(text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focused) override
    {
        if (standard_)
            return standard_->get_accFocus(focused);
        focused->vt = GetFocus() == window_ ? VT_I4 : VT_EMPTY;
        focused->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selected) override
    {
        if (standard_)
            return standard_->get_accSelection(selected);
        selected->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long how, VARIANT child) override
    {
        return standard_ ? standard_->accSelect(how, child) : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        if (standard_)
            return standard_->accNavigate(direction, start, end);
        end->vt = VT_EMPTY;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override
    {
        if (standard_)
            return standard_->accHitTest(x, y, hit);
        RECT box;
        const bool inside = GetWindowRect(window_, &box) && PtInRect(&box, POINT{x, y});
        hit->vt = inside ? VT_I4 : VT_EMPTY;
        hit->lVal = CHILDID_SELF;
        return inside ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    static HRESULT empty(BSTR* text)
    {
        *text = nullptr;
        return S_FALSE;
    }

    HWND window_;
    const Described described_;  // a reader may keep it after the control has gone
    IAccessible* standard_ = nullptr;
    std::atomic<ULONG> references_ = 1;
};

LRESULT CALLBACK answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
{
    auto* described = reinterpret_cast<Described*>(data);
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        auto* provider = new Provider(window, *described);
        const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, provider);
        provider->Release();
        return result;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, answer, 0);
        delete described;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void describe(HWND control, const ControlDescription& description)
{
    if (!control)
        return;
    // Readers' objects travel to them through COM, on the thread that makes the controls.
    static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    auto* described = new Described{wide(description.accessibleName), systemRole(description)};
    if (!SetWindowSubclass(control, answer, 0, reinterpret_cast<DWORD_PTR>(described)))
        delete described;
}

}  // namespace ombrix::AccessibleControl
