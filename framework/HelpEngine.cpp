#include "HelpEngine.h"

#include "HelpFile.h"
#include "WinDefs.h"

namespace {

bool ShowControlPopup(CHelpDisplay& display, int controlId, const std::string& helpFile,
                      std::uint32_t contextId, bool offerMenuFirst)
{
    if (contextId == 0)
        return false;
    const auto file = CHelpFile::Load(helpFile);
    const HelpTopic* topic = file ? file->Find(contextId) : nullptr;
    if (topic == nullptr)
        return false;
    if (offerMenuFirst && !display.OfferWhatsThis(controlId))
        return true; // the menu was shown; the operator chose not to ask
    display.ShowPopup(controlId, topic->text);
    return true;
}

} // namespace

std::uint32_t LookUpHelpId(const HelpIdPair* table, int controlId)
{
    if (table == nullptr || controlId <= 0)
        return 0;
    for (const HelpIdPair* row = table; row->controlId != 0 || row->contextId != 0; ++row)
        if (row->controlId == static_cast<std::uint32_t>(controlId))
            return row->contextId;
    return 0;
}

bool CHelpEngine::WinHelp(int controlId, const std::string& helpFile, unsigned command,
                          std::uintptr_t data)
{
    if (command == HELP_QUIT) {
        if (m_pDisplay != nullptr)
            m_pDisplay->CloseTopicWindow();
        return true;
    }
    if (m_pDisplay == nullptr)
        return false;

    const auto* table = reinterpret_cast<const HelpIdPair*>(data);
    switch (command) {
    case HELP_WM_HELP:
        return ShowControlPopup(*m_pDisplay, controlId, helpFile, LookUpHelpId(table, controlId),
                                false);
    case HELP_CONTEXTMENU:
        return ShowControlPopup(*m_pDisplay, controlId, helpFile, LookUpHelpId(table, controlId),
                                true);
    case HELP_CONTEXT: {
        const auto file = CHelpFile::Load(helpFile);
        const HelpTopic* topic = file ? file->Find(static_cast<std::uint32_t>(data)) : nullptr;
        return topic != nullptr && m_pDisplay->ShowTopic(topic->title, topic->text);
    }
    default:
        return false;
    }
}

CHelpEngine& AfxGetHelpEngine()
{
    static CHelpEngine engine;
    return engine;
}
