#include "ops/ProfileLoader.h"

#include "core/DtuError.h"
#include "core/Frontend.h"
#include "session/DtuSession.h"
#include "core/TextFile.h"
#include "core/WorkPaths.h"
#include "ops/ProfileCheck.h"
#include "ops/ProfileCheckWording.h"
#include "params/RowBuilder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace ProfileLoader {
namespace {

// Window loads: the main table is emptied first, with its id list (a load
// that fails must not leave the old profile's numbers for the next read to
// ask for); the structure check's faults (nothing is evaluated, so loading
// stays quick) are said once in the status bar; the profile still loads.
void LoadAndCheck(DtuSession &session, const QString &path)
{
    session.mainTable.Clear();
    session.state.MainParamIdList.clear();
    LoadProfile(session, path);
    if (const int faults = ProfileCheck::Run(path, QString(), ProfileCheck::Depth::Structure).Count(ProfileCheck::Severity::Fault))
        session.frontend().SetResultPanel(ProfileCheckWording::LoadNotice(faults));
}

// The rows of a Params array, built in order; entries after a bad entry or
// a script error are skipped, and the rows built so far stay.
void BuildRows(DtuSession &session, const JsonValue *params, ParamTableModel &table, QByteArray &idList)
{
    if (!params)
        return;
    for (const JsonValue &element : params->Items()) {
        ProfileParam param;
        if (!ProfileParam::FromJson(element, &param))
            return;
        try {
            RowBuilder::BuildRow(table, idList, session.script, param);
        } catch (const DtuError &) {
            return;
        }
    }
}

} // namespace

void LoadExtendedFile(DtuSession &session, const QString &path)
{
    const TextFile::Decoded decoded = TextFile::Read(path);
    session.extTable.Clear();
    session.state.ExtParamIdList.clear();
    const DeviceProfile ext = DeviceProfile::FromText(decoded.text, path);
    BuildRows(session, ext.Params(), session.extTable, session.state.ExtParamIdList);
}

void LoadProfile(DtuSession &session, const QString &path)
{
    AppState &state = session.state;
    WindowFacts &facts = session.facts;

    const TextFile::Decoded decoded = TextFile::Read(path);
    state.MainParamIdList.clear();
    // The encoding the file came in is kept, so a re-save writes it alike.
    session.profile = DeviceProfile::FromDecoded(decoded, path);
    const DeviceProfile &profile = *session.profile;

    const QString title = profile.Text(ProfileKeys::Title);
    const QString exParamFile = profile.Text(ProfileKeys::ExParamFile);
    state.MainParamChannel = profile.MainChannel();

    if (!title.isEmpty())
        facts.Caption = QCoreApplication::translate("ProfileLoader", "参数配置程序 ") + title;
    for (const auto &[key, fact] : {std::pair{ProfileKeys::Comport, &facts.PortText},
                                    std::pair{ProfileKeys::Baudrate, &facts.BaudText},
                                    std::pair{ProfileKeys::ComOption, &facts.FormatText}})
        if (const QString text = profile.Text(key); !text.isEmpty())
            *fact = text;

    BuildRows(session, profile.Params(), session.mainTable, state.MainParamIdList);

    // The main table is active right after any load, so its rows get editors
    // and a read fills them, whether or not the profile has an extended page.
    state.CurrentParamChannel = state.MainParamChannel;
    if (!exParamFile.isEmpty()) {
        state.ExtPageVisible = true;
        session.NotifyFactsChanged();
        LoadExtendedFile(session, DeviceProfile::ExtendedFilePath(exParamFile, path)); // throws: the TCP step below does not run
    } else {
        state.ExtPageVisible = false;
    }

    const QString tcp = profile.Text(ProfileKeys::TcpConfigIP);
    facts.TcpBoxVisible = !tcp.isEmpty();
    facts.TcpAddress = tcp;
    session.NotifyFactsChanged();
}

void LoadChosenProfile(DtuSession &session, const QString &path)
{
    session.profilePath = path;
    try {
        WorkPaths::WriteLastFile(path);
    } catch (const DtuError &) {
        // A read-only working folder only costs the restore at next start.
    }
    LoadAndCheck(session, path);
}

bool RestoreLastProfile(DtuSession &session)
{
    if (!session.profilePath.isEmpty())
        return false;
    const QString path = WorkPaths::ReadLastFile();
    if (path.isEmpty())
        return false;
    session.profilePath = path;
    try {
        LoadAndCheck(session, path);
    } catch (const DtuError &) {
        session.NotifyFactsChanged();
        return false;
    }
    return true;
}

QString OpenDialogStart(const DtuSession &session, const QString &fallbackFolder)
{
    const QString last = session.profilePath.isEmpty() ? WorkPaths::ReadLastFile() : session.profilePath;
    const QFileInfo folder(QFileInfo(last).absolutePath());
    const QString start = !last.isEmpty() && folder.isDir() ? folder.absoluteFilePath() : fallbackFolder;
    return start + QStringLiteral("/*.txt");
}

} // namespace ProfileLoader
