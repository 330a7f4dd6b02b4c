// Profile files: encoding detection, JSON, and row building with snippets.
#include "core/SilentFrontend.h"

#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/TextFile.h"
#include "params/ChoiceList.h"
#include "params/RowBuilder.h"
#include "profile/DeviceProfile.h"

#include <QCoreApplication>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char arg0[] = "fuzz_profile";
    static char *argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    static SilentFrontend frontend;
    static DtuSession session(frontend);
    static bool init = [] {
        session.script.SetTimeLimitMs(200);
        session.script.Eval(QStringLiteral(
            "function GetStr(){return hexinput;} function GetFloat(){return hexinput.length;}"));
        return true;
    }();
    (void)init;

    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TextFile::Decoded decoded = TextFile::Decode(bytes);
    try {
        DeviceProfile profile = DeviceProfile::FromDecoded(decoded, QStringLiteral("fuzz.txt"));
        session.mainTable.Clear();
        session.state.MainParamIdList.clear();
        if (const JsonValue *params = profile.Params()) {
            for (const JsonValue &element : params->Items()) {
                ProfileParam p;
                if (!ProfileParam::FromJson(element, &p))
                    break;
                try {
                    RowBuilder::BuildRow(session.mainTable, session.state.MainParamIdList, session.script, p);
                    RowBuilder::BuildRow(session.extTable, session.state.ExtParamIdList, session.script, p);
                } catch (const DtuError &) {
                }
            }
        }
        (void)profile.Render();
    } catch (const DtuError &) {
    }
    try {
        (void)ChoiceList::Parse(decoded.text).LastMatch(QStringLiteral("HEX:01"));
    } catch (const DtuError &) {
    }
    if (session.extTable.Count() > 1000)
        session.extTable.Clear();
    return 0;
}
