// The device script of the profile check's test profiles.
var COMMAND_WORDS = {CMD_GETPARAM: "E001", CMD_REPLYCONFIG: "E101", CMD_SETDEFAULT: "E002",
                     CMD_RESET: "E003", CMD_GETSTATUS: "E004", CMD_GETDTUVER: "E024"};
function GetCmd(name) { return COMMAND_WORDS[name] || "0000"; }
function PrevCmd() { return ""; }
var hexinput = "", ascinput = "";

// A number in two bytes, big-endian.
function GetWord() { return String(parseInt(hexinput || "0", 16)); }
function SetWord() {
    var n = /^[0-9]+$/.test(ascinput) ? parseInt(ascinput, 10) : NaN;
    return isNaN(n) || n > 65535 ? "NaN" : ("000" + n.toString(16).toUpperCase()).slice(-4);
}
// Faulty on purpose: no range check, so 65536 is written as 0000.
function SetWordWrapping() {
    return ("000" + (parseInt(ascinput, 10) % 65536).toString(16).toUpperCase()).slice(-4);
}
// Faulty on purpose: throws for anything but two bytes.
function GetWordStrict() {
    if (hexinput.length !== 4) throw new Error("two bytes expected");
    return GetWord();
}
// Faulty on purpose: never ends, or only for numbers over 65535.
function Forever() { for (;;) {} }
function SetWordHanging() {
    if (parseInt(ascinput, 10) > 65535) Forever();
    return SetWord();
}
