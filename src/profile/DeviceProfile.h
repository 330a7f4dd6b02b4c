#pragma once
#include "core/TextFile.h"
#include "profile/OrderedJson.h"

#include <QString>
#include <vector>

// Member names of a device profile, spelled once.
namespace ProfileKeys {
inline const QString Title = QStringLiteral("Title");
inline const QString Params = QStringLiteral("Params");
inline const QString Buttons = QStringLiteral("Buttons");
inline const QString ExParamFile = QStringLiteral("ExParamFile");
inline const QString ExParamChannel = QStringLiteral("ExParamChannel");
inline const QString Comport = QStringLiteral("Comport");
inline const QString Baudrate = QStringLiteral("Baudrate");
inline const QString ComOption = QStringLiteral("ComOption");
inline const QString TcpConfigIP = QStringLiteral("TcpConfigIP");
inline const QString CMDID = QStringLiteral("CMDID");
inline const QString PNAME = QStringLiteral("PNAME");
inline const QString PVALUE = QStringLiteral("PVALUE");
inline const QString ONLIST = QStringLiteral("ONLIST");
inline const QString ONGET = QStringLiteral("ONGET");
inline const QString ONSET = QStringLiteral("ONSET");
inline const QString PNOTE = QStringLiteral("PNOTE");
} // namespace ProfileKeys

// One entry of Params; absent members are empty.
struct ProfileParam {
    QString CMDID, PNAME, PVALUE, ONLIST, ONGET, ONSET, PNOTE;
    // False when the element is not a JSON object.
    static bool FromJson(const JsonValue &element, ProfileParam *out);
};

// A device profile file: the parsed top-level object (members in file order,
// unknown members kept), the path it came from and its text encoding.
class DeviceProfile {
public:
    // Reads and parses a profile or extended parameter file. Throws DtuError
    // when the file cannot be read or is not a JSON object.
    static DeviceProfile FromFile(const QString &path) { return FromDecoded(TextFile::Read(path), path); }
    static DeviceProfile FromText(const QString &text, const QString &path = {});
    static DeviceProfile FromDecoded(const TextFile::Decoded &decoded, const QString &path);

    const QString &Path() const { return path_; }
    TextFile::Encoding Encoding() const { return encoding_; }
    JsonValue &Root() { return root_; }
    const JsonValue &Root() const { return root_; }

    // A string member's text ("" when absent; numbers give their text).
    QString Text(const QString &key) const;
    void SetText(const QString &key, const QString &value) { root_.Set(key, JsonValue::MakeString(value)); }
    // The Params array (nullptr when absent or not an array).
    JsonValue *Params();
    const JsonValue *Params() const { return const_cast<DeviceProfile *>(this)->Params(); }
    // The channel the device serves the main table on: 1 without an extended
    // file, else ExParamChannel (0 when absent).
    int MainChannel() const;
    // Where an extended file named in a profile is: a relative name is taken
    // from the current folder, else from the profile's own folder, so a profile
    // and its extended file copied together keep working wherever the tool starts.
    static QString ExtendedFilePath(const QString &name, const QString &profilePath);

    // Indented JSON, non-ASCII as is, CR LF line ends, in the file's encoding.
    // Throws DtuError for a character the encoding cannot hold.
    QByteArray Render() const;
    // Renders and writes atomically. Throws DtuError naming file and reason.
    void SaveAs(const QString &path) const;
    void SaveOver() const { SaveAs(path_); }

private:
    JsonValue root_;
    QString path_;
    TextFile::Encoding encoding_ = TextFile::Encoding::Gbk;
};
