// A JScript client of the registered library: keys, the value types JScript can make, enumeration
// and the errors it sees. (JScript builds no safe arrays, so arrays are written from VBScript.)
var HKCU = 0x80000001 | 0; // the signed 32-bit form the interface takes
var BASE = "Software\\TidewellTest\\JScriptKeysAndValues";

var passed = 0;
var failed = 0;

function check(condition, label) {
    if (condition) {
        passed++;
    } else {
        failed++;
        WScript.Echo("FAILED: " + label);
    }
}

function checkEqual(expected, actual, label) {
    check(expected === actual, label + ": expected [" + expected + "], got [" + actual + "]");
}

function hex(number) {
    return (number >>> 0).toString(16).toUpperCase();
}

// Runs action, which must fail with hexNumber and the exact description.
function checkError(action, hexNumber, description, label) {
    try {
        action();
        check(false, label + ": no error");
    } catch (e) {
        checkEqual(hexNumber, hex(e.number), label + " number");
        checkEqual(description, e.description, label + " description");
    }
}

// A system failure: the message, " - ", then the system's own text.
function checkSystemError(action, hexNumber, message, label) {
    try {
        action();
        check(false, label + ": no error");
    } catch (e) {
        checkEqual(hexNumber, hex(e.number), label + " number");
        checkEqual(message + " - ", e.description.substr(0, message.length + 3), label + " description");
        check(e.description.length > message.length + 3, label + " carries the system text");
    }
}

var db = new ActiveXObject("Registry.RegistryDatabase");
try {
    db.DeleteKeyTree(HKCU, BASE);
} catch (e) {
}

var key = db.CreateKey(HKCU, BASE);
checkEqual(BASE, key.Name, "key name");
checkEqual(0, key.ValueCount, "no values yet");

var v = key.OpenValue("text");
v.Value = "from JScript";
checkEqual("from JScript", v.Value, "string round trip");
checkEqual(1, v.ValueType, "string type");
v.ExpandString = true;
v.Value = "%TEMP%";
checkEqual(2, v.ValueType, "expandable type");
checkEqual("%TEMP%", v.Value, "expandable read unexpanded");
checkEqual(true, v.ExpandString, "expand flag");

v = key.OpenValue("number");
v.Value = 42;
checkEqual(4, v.ValueType, "number type");
checkEqual(42, v.Value, "number round trip");
v.Value = 2147483647;
checkEqual(2147483647, v.Value, "largest signed number");

// Array values written elsewhere read as one-based safe arrays.
var raw = new ActiveXObject("WScript.Shell");
raw.RegWrite("HKCU\\" + BASE + "\\bytes", 258, "REG_BINARY");
var bytes = new VBArray(key.OpenValue("bytes").Value);
checkEqual(1, bytes.lbound(1), "binary lower bound");
checkEqual(4, bytes.ubound(1), "binary upper bound");
checkEqual(2, bytes.toArray()[0], "first byte");
checkEqual(1, bytes.toArray()[1], "second byte");

// Collections enumerate through _NewEnum called as a method.
db.CreateKey(HKCU, BASE + "\\alpha");
db.CreateKey(HKCU, BASE + "\\beta");
var seen = [];
for (var e = new Enumerator(key.SubKeys()); !e.atEnd(); e.moveNext())
    seen.push(e.item().Name);
checkEqual("alpha,beta", seen.join(","), "enumerated sub-keys");
var valueCount = 0;
for (var e2 = new Enumerator(key.Values()); !e2.atEnd(); e2.moveNext())
    valueCount++;
checkEqual(3, valueCount, "enumerated values");
var names = new VBArray(key.SubKeyNames).toArray();
checkEqual("alpha", names[0], "sub-key names");

// Errors.
checkError(function () { key.OpenValue("number").Value = -5; }, "8002000A",
           "Error converting to a long integer value", "negative number");
checkError(function () { key.OpenValue("number").Value = true; }, "80020005",
           "Unsupported variant type", "Boolean");
checkError(function () { key.OpenValue("number").Value = 1.25; }, "80020005",
           "Unsupported variant type", "floating point");
checkError(function () { key.OpenValue("number").Value = null; }, "80020005",
           "Unsupported variant type", "null");
checkError(function () { key.OpenValue("number").Value = [1, 2]; }, "80020005",
           "Unsupported variant type", "script array is an object");
checkEqual(2147483647, key.OpenValue("number").Value, "failed writes change nothing");
checkSystemError(function () { return key.OpenValue("missing").Value; }, "80070002",
                 "Error querying registry value for data length", "missing value");
checkSystemError(function () { db.OpenKey(HKCU, BASE + "\\missing"); }, "80070002",
                 "Error opening the registry key", "missing key");
checkError(function () { db.ComputerName = "late"; }, "80004005",
           "ComputerName already in use and cannot be changed", "computer name after a key");
checkSystemError(function () { db.DeleteKey(HKCU, BASE); }, "80070005",
                 "Error deleting the registry key", "deleting a key with children");

key = null;
db.DeleteKeyTree(HKCU, BASE);
checkSystemError(function () { db.OpenKey(HKCU, BASE); }, "80070002",
                 "Error opening the registry key", "tree deleted");

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed);
