// new Enumerator over a key's values and sub-keys, and Count / Item, from JScript.
// The predefined handles are negative 32-bit numbers: a JScript number above 2^31 does not fit.
var HKCU = 0x80000001 | 0;
var passed = 0, failed = 0;

function check(ok, what) {
    if (ok) {
        passed++;
    } else {
        failed++;
        WScript.Echo("FAILED: " + what);
    }
}

function errorNumber(action) {
    try {
        action();
    } catch (e) {
        return e.number < 0 ? e.number + 0x100000000 : e.number;
    }
    return 0;
}

var db = new ActiveXObject("Registry.RegistryDatabase");
var path = "Software\\TidewellTest\\ScriptCollectionsJs";
try { db.DeleteKeyTree(HKCU, path); } catch (e) { }

var key = db.CreateKey(HKCU, path);
for (var i = 1; i <= 3; i++) {
    key.OpenValue("value" + i).Value = "data" + i;
    db.CreateKey(HKCU, path + "\\child" + i);
}

var names = "";
for (var e = new Enumerator(key.Values()); !e.atEnd(); e.moveNext()) {
    names += e.item().Name + "=" + e.item().Value + ";";
}
check(names == "value1=data1;value2=data2;value3=data3;", "Enumerator over Values gave " + names);

names = "";
for (var e2 = new Enumerator(key.SubKeys()); !e2.atEnd(); e2.moveNext()) {
    names += e2.item().Name + ";";
}
check(names == "child1;child2;child3;", "Enumerator over SubKeys gave " + names);

names = "";
for (var e3 = new Enumerator(key.Values); !e3.atEnd(); e3.moveNext()) {
    names += e3.item().Name + ";";
}
check(names == "value1;value2;value3;", "Enumerator over key.Values without parentheses gave " + names);
check(key.Values(1).Name == "value1", "key.Values(1) through the collection's default member");

var values = key.Values();
var subKeys = key.SubKeys();
check(values.Count == 3, "value Count is " + values.Count);
check(subKeys.Count == 3, "sub-key Count is " + subKeys.Count);
check(values.Item(1).Name == "value1", "values.Item(1) is " + values.Item(1).Name);
check(values(2).Name == "value2", "values(2) through the default member");
check(values.Item(values.Count).Value == "data3", "the last value");
check(subKeys.Item(3).Name == "child3", "subKeys.Item(3)");
// Wine's JScript first calls Item as a method and, when the property get that follows fails,
// reports the first call's DISP_E_MEMBERNOTFOUND; VBScript sees E_INVALIDARG itself.
check(errorNumber(function () { values.Item(0); }) != 0, "values.Item(0) raised no error");
check(errorNumber(function () { subKeys.Item(subKeys.Count + 1); }) != 0,
      "subKeys.Item(Count + 1) raised no error");

// A fresh enumerator starts over; an enumerator made before a change keeps its total.
var before = new Enumerator(values);
key.OpenValue("value4").Value = "data4";
var seen = 0;
for (; !before.atEnd(); before.moveNext()) {
    seen++;
}
check(seen == 3, "an enumerator made before the new value walked " + seen);
seen = 0;
for (var after = new Enumerator(values); !after.atEnd(); after.moveNext()) {
    seen++;
}
check(seen == 4, "an enumerator made afterwards walked " + seen);

values = null;
subKeys = null;
key = null;
CollectGarbage();
db.DeleteKeyTree(HKCU, path);

WScript.Echo(passed + " passed, " + failed + " failed");
WScript.Quit(failed);
