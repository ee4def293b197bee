// The dialog manager's contract on native Windows dialogs, driven with the messages the
// keyboard and the mouse send.
#include "Win32Operator.h"
#include "framework/win32/Win32DialogWindow.h"
#include "framework/win32/Win32WindowSystem.h"
#include "tests/DialogManagerContract.h"

#include <chrono>
#include <memory>

namespace {

constexpr unsigned kPollMs = 10;
constexpr auto kWait = std::chrono::seconds(5);

class Win32Driver {
public:
    explicit Win32Driver(const DialogTemplate& tmpl) : m_tmpl(tmpl) {}
    ~Win32Driver() { AfxSetWindowSystem(nullptr); }
    void Open(CDialog& dialog)
    {
        m_window = std::make_unique<CWin32DialogWindow>(dialog, m_tmpl, nullptr);
        ASSERT_TRUE(m_window->IsCreated());
        dialog.Attach(*m_window);
        m_window->Show();
    }
    CWindowPeer& Peer() { return *m_window; }
    void Key(DialogKey key)
    {
        HWND__* target = m_window->FocusControl();
        PressKey(target != nullptr ? target : m_window->Handle(), key);
    }
    void Click(int id) { ClickButton(m_window->Control(id)); }
    void Type(int id, const char* text) { TypeText(m_window->Control(id), text); }
    void DragFader(int id) { DragThumb(m_window->Control(id)); }
    void PressClose() { PressCloseButton(m_window->Handle()); }
    int FocusedId() const { return ControlId(m_window->FocusControl()); }
    bool AllTextSelected(int id) const { return ::AllTextSelected(m_window->Control(id)); }

    // Polls from inside the box's loop; presses OK once the step is done or time is up.
    void DuringNextBox(std::function<bool()> step)
    {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        m_poll = std::make_unique<CPoll>(kPollMs, [this, step, deadline] {
            HWND__* box = FindMessageBox(m_window->Handle());
            if (box == nullptr)
                return false;
            if (!step() && std::chrono::steady_clock::now() < deadline)
                return false;
            PressOk(box);
            return true;
        });
    }

    void DuringNextModal(std::function<bool()> step)
    {
        AfxSetWindowSystem(&m_windows);
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        m_poll = std::make_unique<CPoll>(kPollMs, [this, step, deadline] {
            CWin32DialogWindow* other = CWin32DialogWindow::ActiveModal();
            if (other == nullptr || other == m_window.get())
                return false;
            if (!step() && std::chrono::steady_clock::now() < deadline)
                return false;
            HWND__* focus = other->FocusControl();
            PressKey(focus != nullptr ? focus : other->Handle(), DialogKey::Escape);
            return true;
        });
    }

private:
    const DialogTemplate& m_tmpl;
    CWin32WindowSystem m_windows;
    std::unique_ptr<CWin32DialogWindow> m_window;
    std::unique_ptr<CPoll> m_poll;
};

} // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, DialogManagerContract, Win32Driver);
} // namespace contract
