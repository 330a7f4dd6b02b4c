// Device script of the example DTU: command words, the frame prefix, and the
// value helpers that the example profiles call. The tool evaluates this file
// once at start-up; hexinput and ascinput are set by the tool before it
// evaluates a row's snippet.

var COMMAND_WORDS = {
    CMD_GETPARAM: "E001",    // read a list of parameters
    CMD_REPLYCONFIG: "E101", // word of the device's parameter-read reply
    CMD_SETDEFAULT: "E002",  // restore factory settings
    CMD_RESET: "E003",       // restart the device
    CMD_GETSTATUS: "E004",   // working state
    CMD_GETDTUVER: "E024"    // firmware version
};

function GetCmd(name) {
    var word = COMMAND_WORDS[name];
    return word === undefined ? "0000" : word;
}

// Bytes put in front of the command word of every request (none here).
function PrevCmd() {
    return "";
}

var hexinput = "";
var ascinput = "";
var Length = 0;
var Mask = "";

// A value the field cannot hold comes back as "NaN": the tool then refuses
// the text instead of storing something else.
function hexByte(n) {
    if (isNaN(n) || n < 0 || n > 255 || n !== Math.floor(n)) return "NaN";
    var s = n.toString(16).toUpperCase();
    return s.length < 2 ? "0" + s : s;
}

function bytesOf(hex) {
    var out = [];
    for (var i = 0; i + 1 < hex.length; i += 2)
        out.push(parseInt(hex.substr(i, 2), 16));
    return out;
}

// Text stored one byte per character, ended by the first zero byte.
function GetStr() {
    var b = bytesOf(hexinput), s = "";
    for (var i = 0; i < b.length && b[i] !== 0; i++)
        s += String.fromCharCode(b[i]);
    return s;
}

function SetStr() {
    var s = "";
    for (var i = 0; i < ascinput.length; i++)
        s += hexByte(ascinput.charCodeAt(i));
    return s;
}

// Big-endian IEEE-754 single precision, shown with three decimals.
function GetFloat() {
    var b = bytesOf(hexinput);
    while (b.length < 4) b.push(0);
    var view = new DataView(new ArrayBuffer(4));
    for (var i = 0; i < 4; i++) view.setUint8(i, b[i]);
    return view.getFloat32(0).toFixed(3);
}

// Unsigned integers, big-endian, shown in decimal.
function GetUInt() {
    var b = bytesOf(hexinput), v = 0;
    for (var i = 0; i < b.length; i++) v = v * 256 + b[i];
    return String(v);
}

// Digits only; a number wider than the field is refused, not wrapped.
function decimalOf(text) {
    return /^[0-9]+$/.test(text) ? parseInt(text, 10) : NaN;
}

function SetUInt(width) {
    var n = decimalOf(ascinput);
    if (isNaN(n) || n >= Math.pow(256, width)) return "NaN";
    var s = "";
    for (var i = 0; i < width; i++) {
        s = hexByte(n % 256) + s;
        n = Math.floor(n / 256);
    }
    return s;
}

// IPv4 address stored as four bytes.
function GetIP() {
    return bytesOf(hexinput).join(".");
}

function SetIP() {
    var parts = ascinput.split(".");
    if (parts.length !== 4) return "NaN";
    var s = "";
    for (var i = 0; i < 4; i++) {
        s += hexByte(decimalOf(parts[i]));
    }
    return s;
}

// Seconds stored as two bytes, shown as minutes and seconds.
function GetMinSec() {
    var v = parseInt(GetUInt(), 10);
    return Math.floor(v / 60) + "分" + (v % 60) + "秒";
}
