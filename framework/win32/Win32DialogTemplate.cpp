#include "Win32DialogTemplate.h"

#include "Win32Text.h"
#include "framework/TemplateControls.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <charconv>
#include <string>

namespace {

constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint16_t kExtendedSignature = 0xFFFF;
constexpr std::uint16_t kOrdinalMarker = 0xFFFF;
constexpr std::uint16_t kFontWeight = FW_NORMAL;
constexpr char kOrdinalPrefix = '#';

// A control class as the template names it: a predefined class by atom, or by name.
struct ClassName {
    std::uint16_t atom;
    const wchar_t* name;
};

// By ControlClass: Edit, Button, Static, Trackbar.
constexpr std::array<ClassName, 4> kClassNames{{
    {0x0081, nullptr},
    {0x0080, nullptr},
    {0x0082, nullptr},
    {0, TRACKBAR_CLASSW},
}};

class CTemplateWriter {
public:
    void Word(std::uint16_t value) { m_words.push_back(value); }
    void DWord(std::uint32_t value)
    {
        Word(static_cast<std::uint16_t>(value & 0xFFFFU));
        Word(static_cast<std::uint16_t>(value >> 16U));
    }
    void Short(int value) { Word(static_cast<std::uint16_t>(static_cast<std::int16_t>(value))); }
    void Text(std::string_view text)
    {
        for (wchar_t c : Widen(text))
            Word(static_cast<std::uint16_t>(c));
        Word(0);
    }
    void WideText(const wchar_t* text)
    {
        for (; *text != L'\0'; ++text)
            Word(static_cast<std::uint16_t>(*text));
        Word(0);
    }
    void Ordinal(int value)
    {
        Word(kOrdinalMarker);
        Word(static_cast<std::uint16_t>(value));
    }
    void AlignDWord()
    {
        if (m_words.size() % 2 != 0)
            Word(0);
    }
    std::vector<std::uint16_t> Take() { return std::move(m_words); }

private:
    std::vector<std::uint16_t> m_words;
};

// The dialog manager checks and selects buttons itself; a native automatic button would do
// it a second time.
std::uint32_t NativeStyle(const ControlTemplate& control)
{
    std::uint32_t style = WS_CHILD | WS_VISIBLE | control.style;
    if (control.cls == ControlClass::Button) {
        const std::uint32_t kind = control.style & BS_TYPEMASK;
        if (kind == BS_AUTOCHECKBOX)
            style = (style & ~BS_TYPEMASK) | BS_CHECKBOX;
        else if (kind == BS_AUTORADIOBUTTON)
            style = (style & ~BS_TYPEMASK) | BS_RADIOBUTTON;
    }
    return style;
}

void WriteControl(CTemplateWriter& out, const ControlTemplate& control)
{
    out.AlignDWord();
    out.DWord(control.helpId);
    out.DWord(0); // extended style
    out.DWord(NativeStyle(control));
    out.Short(control.rect.x);
    out.Short(control.rect.y);
    out.Short(control.rect.cx);
    out.Short(control.rect.cy);
    out.DWord(static_cast<std::uint32_t>(control.id));
    const ClassName& cls = kClassNames.at(static_cast<std::size_t>(control.cls));
    if (cls.name != nullptr)
        out.WideText(cls.name);
    else
        out.Ordinal(cls.atom);
    // An icon static names its icon resource; by number, the template says so with an ordinal.
    if (const int ordinal = ResourceOrdinal(control.text);
        KindOf(control) == ControlKind::Icon && ordinal != 0)
        out.Ordinal(ordinal);
    else
        out.Text(control.text);
    out.Word(0); // no creation data
}

} // namespace

int ResourceOrdinal(std::string_view name)
{
    int id = 0;
    if (name.size() < 2 || name.front() != kOrdinalPrefix)
        return 0;
    const auto [end, error] = std::from_chars(name.data() + 1, name.data() + name.size(), id);
    return error == std::errc() && end == name.data() + name.size() ? id : 0;
}

std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& tmpl)
{
    const bool hasFont = !tmpl.fontName.empty();
    // Hidden until it runs; a top-level window unless the template says otherwise.
    std::uint32_t style = tmpl.style & ~(static_cast<std::uint32_t>(WS_VISIBLE | DS_SETFONT));
    if ((style & WS_CHILD) == 0)
        style |= WS_POPUP;
    if (hasFont)
        style |= DS_SETFONT;

    CTemplateWriter out;
    out.Word(kExtendedVersion);
    out.Word(kExtendedSignature);
    out.DWord(0); // help id
    out.DWord(tmpl.exStyle);
    out.DWord(style);
    out.Word(static_cast<std::uint16_t>(tmpl.controls.size()));
    out.Short(tmpl.rect.x);
    out.Short(tmpl.rect.y);
    out.Short(tmpl.rect.cx);
    out.Short(tmpl.rect.cy);
    out.Word(0); // no menu
    out.Word(0); // the dialog class
    out.Text(tmpl.caption);
    if (hasFont) {
        out.Word(static_cast<std::uint16_t>(tmpl.fontPoints));
        out.Word(kFontWeight);
        out.Word(DEFAULT_CHARSET << 8U); // not italic; the charset in the high byte
        out.Text(tmpl.fontName);
    }
    for (const ControlTemplate& control : tmpl.controls)
        WriteControl(out, control);
    return out.Take();
}
