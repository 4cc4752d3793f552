// Keys, values and strings named outside the ANSI code page, from JScript: written, listed by
// their exact names, read back and deleted.
var HKCU = 0x80000001 | 0;
var BASE = "Software\\TidewellTest\\JScriptWideNames";

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

// Japanese and an emoji (a surrogate pair).
var keyName = "\u65e5\u672c\u8a9e key \ud83c\udf8c";
var valueName = "\u65e5\u672c\u8a9e value \ud83c\udf8c";
var text = "\ud83d\ude00 \u5024 data";

var db = new ActiveXObject("Registry.RegistryDatabase");
try {
    db.DeleteKeyTree(HKCU, BASE);
} catch (e) {
}
var key = db.CreateKey(HKCU, BASE);
db.CreateKey(HKCU, BASE + "\\" + keyName);
key.OpenValue(valueName).Value = text;
check(key.OpenValue(valueName).Value === text, "the value reads back its text");

var found = false;
for (var e = new Enumerator(key.SubKeys()); !e.atEnd(); e.moveNext())
    found = found || e.item().Name === keyName;
check(found, "the sub-key enumerator delivers it by its name");
var names = new VBArray(key.SubKeyNames).toArray();
check(names.length === 1 && names[0] === keyName, "the sub-key is listed by its name");
found = false;
for (var e2 = new Enumerator(key.Values()); !e2.atEnd(); e2.moveNext())
    found = found || (e2.item().Name === valueName && e2.item().Value === text);
check(found, "the value enumerator delivers it with its text");

key.DeleteValue(valueName);
check(key.ValueCount === 0, "the value is deleted");
db.DeleteKeyTree(HKCU, BASE + "\\" + keyName);
check(key.SubKeyCount === 0, "the key is deleted");

key = null;
db.DeleteKeyTree(HKCU, BASE);
WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed ? 1 : 0);
