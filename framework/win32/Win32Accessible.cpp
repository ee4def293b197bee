#include "Win32Accessible.h"

#include "Win32Function.h"
#include "Win32Text.h"

#include <windows.h>

#include <initguid.h> // defines the MSAA interface ids this file uses

#include <oleacc.h>

#include <atomic>

namespace {

// The screen reader's libraries (COM, its strings, MSAA), loaded when a screen reader first
// asks. Linked in, they would be loaded at every start, where they cost some 20 ms under Wine,
// and most runs have no screen reader.
struct AccessibilityLibraries {
    decltype(&CoInitializeEx) coInitializeEx = nullptr;
    decltype(&CoUninitialize) coUninitialize = nullptr;
    decltype(&SysAllocString) sysAllocString = nullptr;
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
    decltype(&LresultFromObject) lresultFromObject = nullptr;

    bool Loaded() const
    {
        return coInitializeEx != nullptr && coUninitialize != nullptr &&
               sysAllocString != nullptr && createStdAccessibleObject != nullptr &&
               lresultFromObject != nullptr;
    }
};

const AccessibilityLibraries& Libraries()
{
    static const AccessibilityLibraries libraries = [] {
        AccessibilityLibraries found;
        const HMODULE ole = LoadLibraryW(L"ole32.dll");
        const HMODULE oleAutomation = LoadLibraryW(L"oleaut32.dll");
        const HMODULE msaa = LoadLibraryW(L"oleacc.dll");
        FindFunction(ole, "CoInitializeEx", found.coInitializeEx);
        FindFunction(ole, "CoUninitialize", found.coUninitialize);
        FindFunction(oleAutomation, "SysAllocString", found.sysAllocString);
        FindFunction(msaa, "CreateStdAccessibleObject", found.createStdAccessibleObject);
        FindFunction(msaa, "LresultFromObject", found.lresultFromObject);
        return found;
    }();
    return libraries;
}

// COM on the window's thread, for as long as the thread lives: marshalling the object to the
// screen reader needs it.
class CComApartment {
public:
    CComApartment()
        : m_bOwned(SUCCEEDED(Libraries().coInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    {
    }
    ~CComApartment()
    {
        if (m_bOwned)
            Libraries().coUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool m_bOwned;
};

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT Text(const std::string& text, BSTR* out)
{
    if (out == nullptr)
        return E_INVALIDARG;
    *out = Libraries().sysAllocString(Widen(text).c_str());
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The system's object for the control, with what the dialog says put over it.
class CAccessible final : public IAccessible {
public:
    using Facts = std::optional<AccessibleFacts> (*)(HWND control);

    CAccessible(HWND control, IAccessible* system, Facts facts)
        : m_hControl(control), m_pSystem(system), m_facts(facts)
    {
    }
    CAccessible(const CAccessible&) = delete;
    CAccessible& operator=(const CAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // What the system's object offers besides (IOleWindow, IEnumVARIANT), it answers.
        return m_pSystem->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_nRefs;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        return m_pSystem->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_pSystem->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return m_pSystem->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* badArgument) override
    {
        return m_pSystem->Invoke(id, iid, locale, flags, params, result, exception, badArgument);
    }

    // IAccessible: what the dialog says, for the control itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (const auto facts = Ask(child); facts && !facts->name.empty())
            return Text(facts->name, name);
        return m_pSystem->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override
    {
        if (const auto facts = Ask(child); facts && !facts->description.empty())
            return Text(facts->description, description);
        return m_pSystem->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (const auto facts = Ask(child); facts && facts->value)
            return Text(std::to_string(*facts->value), value);
        return m_pSystem->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        const auto facts = Ask(child);
        if (!facts || facts->role == 0 || role == nullptr)
            return m_pSystem->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = facts->role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT hr = m_pSystem->get_accState(child, state);
        const auto facts = Ask(child);
        if (FAILED(hr) || !facts || !facts->checked || state == nullptr || state->vt != VT_I4)
            return hr;
        if (*facts->checked)
            state->lVal |= STATE_SYSTEM_CHECKED;
        else
            state->lVal &= ~STATE_SYSTEM_CHECKED;
        return hr;
    }

    // IAccessible: the rest is the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        return m_pSystem->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        return m_pSystem->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return m_pSystem->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        return m_pSystem->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return m_pSystem->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_pSystem->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override
    {
        return m_pSystem->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return m_pSystem->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_pSystem->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return m_pSystem->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override
    {
        return m_pSystem->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return m_pSystem->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return m_pSystem->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return m_pSystem->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        return m_pSystem->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_pSystem->put_accValue(child, value);
    }

private:
    ~CAccessible() { m_pSystem->Release(); }

    std::optional<AccessibleFacts> Ask(const VARIANT& child) const
    {
        if (!IsSelf(child))
            return std::nullopt;
        return m_facts(m_hControl);
    }

    HWND m_hControl;
    IAccessible* m_pSystem; // owned: one reference
    Facts m_facts;
    std::atomic<ULONG> m_nRefs{1};
};

} // namespace

std::intptr_t AnswerAccessibleObject(HWND__* control, std::uintptr_t wParam,
                                     std::optional<AccessibleFacts> (*facts)(HWND__* control))
{
    if (!Libraries().Loaded())
        return 0;
    static thread_local CComApartment apartment;
    IAccessible* system = nullptr;
    if (FAILED(Libraries().createStdAccessibleObject(control, OBJID_CLIENT, IID_IAccessible,
                                                     reinterpret_cast<void**>(&system))) ||
        system == nullptr)
        return 0;
    auto* object = new CAccessible(control, system, facts);
    const LRESULT result = Libraries().lresultFromObject(IID_IAccessible, wParam, object);
    object->Release(); // the reply holds its own reference
    // A failure comes back as a negative COM error code, sign-extended on 64-bit Windows.
    return result > 0 ? result : 0;
}

long AccessibleRoleOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Edit:
        return ROLE_SYSTEM_TEXT;
    case ControlKind::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case ControlKind::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case ControlKind::Radio:
        return ROLE_SYSTEM_RADIOBUTTON;
    case ControlKind::GroupBox:
        return ROLE_SYSTEM_GROUPING;
    case ControlKind::Label:
        return ROLE_SYSTEM_STATICTEXT;
    case ControlKind::Icon:
        return ROLE_SYSTEM_GRAPHIC;
    case ControlKind::Trackbar:
        return ROLE_SYSTEM_SLIDER;
    }
    return 0;
}
