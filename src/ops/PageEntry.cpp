#include "ops/PageEntry.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/ParamWriter.h"
#include "ops/DeviceCommands.h"

#include <QCoreApplication>

namespace PageEntry {

void OnPageShown(DtuSession &session, Page page)
{
    AppState &state = session.state;
    // Edits not yet written: offer to write them before leaving them behind.
    if (!state.ModifiedParamList.IsEmpty()
        && session.frontend().AskOkCancel(QCoreApplication::translate("PageEntry", "您修改了参数，请问需要写入吗？"),
                                          QCoreApplication::translate("PageEntry", "参数设置")))
        ParamWriter::WriteModified(session);

    if (page == Page::Main || page == Page::Extended) {
        state.ModifiedParamList.Clear();
        state.NotifyModifiedChanged();
        ParamTableModel &table = page == Page::Main ? session.mainTable : session.extTable;
        if (table.Count() > 0)
            table.SetCurrentRow(0);
    }
    DeviceCommands::SelectParamChannel(session, page == Page::Extended ? 0 : state.MainParamChannel);
}

} // namespace PageEntry
