#include "TransferMenu.h"

#include "TransferTexts.h"
#include "resource.h"

void NameTransferEntries(HMENU trayPopup, model::Language language, bool enabled)
{
    using transfertexts::Text;
    static constexpr struct {
        UINT command;
        Text text;
    } kEntries[] = {
        {ID_EXPORT_SETTINGS, Text::MenuExportSettings},
        {ID_IMPORT_SETTINGS, Text::MenuImportSettings},
        {ID_IMPORT_EQUALIZER, Text::MenuImportEqualizer},
    };
    for (const auto& entry : kEntries) {
        const std::wstring text = transfertexts::Say(entry.text, language);
        ::ModifyMenuW(trayPopup, entry.command, MF_BYCOMMAND | MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED),
                      entry.command, text.c_str());
    }
}
