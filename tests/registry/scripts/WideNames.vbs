' Keys, values and strings named outside the ANSI code page, from a script: written, listed by
' their exact names, read back and deleted.
Option Explicit

Const HKCU = &H80000001
Const BASE = "Software\TidewellTest\VBScriptWideNames"

Dim passed, failed
passed = 0
failed = 0

Sub Check(condition, label)
    If condition Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & label
    End If
End Sub

' Japanese and an emoji (a surrogate pair), from a UTF-16 file: this script engine has no ChrW.
Dim japanese, emoji, keyName, valueName, text, fso, lines
Set fso = CreateObject("Scripting.FileSystemObject")
Set lines = fso.OpenTextFile(fso.BuildPath(fso.GetParentFolderName(WScript.ScriptFullName), _
                                           "WideNames.txt"), 1, False, -1)
japanese = lines.ReadLine
emoji = lines.ReadLine
lines.Close
Check Len(japanese) = 3 And Len(emoji) = 2, "the names are read"
keyName = japanese & " key " & emoji
valueName = japanese & " value " & emoji
text = emoji & " " & japanese & " data"

Dim db, key, child, v, listed, found, name, item
Set db = CreateObject("Registry.RegistryDatabase")
On Error Resume Next
db.DeleteKeyTree HKCU, BASE
Err.Clear
On Error GoTo 0

Set key = db.CreateKey(HKCU, BASE)
Set child = db.CreateKey(HKCU, BASE & "\" & keyName)
Check child.Name = BASE & "\" & keyName, "the key keeps its name"
Set v = key.OpenValue(valueName)
v.Value = text
Check v.Value = text, "the value reads back its text"
Set v = key.OpenValue("plain")
v.Value = Array(japanese, emoji)
listed = v.Value
Check listed(1) = japanese And listed(2) = emoji, "a multi-string keeps its strings"

' Listed by their exact names, and what is listed opens.
found = False
For Each name In key.SubKeyNames
    If name = keyName Then found = True
Next
Check found, "the sub-key is listed by its name"
found = False
For Each item In key.SubKeys
    If item.Name = keyName Then found = True
Next
Check found, "the sub-key enumerator delivers it"
found = False
For Each name In key.ValueNames
    If name = valueName Then found = True
Next
Check found, "the value is listed by its name"
found = False
For Each item In key.Values
    If item.Name = valueName Then found = (item.Value = text)
Next
Check found, "the value enumerator delivers it with its text"
Set child = db.OpenKey(HKCU, BASE & "\" & keyName)
Check child.ValueCount = 0, "the listed key opens"
Set v = key.OpenValue(valueName)
Check v.ValueType = 1, "the listed value opens"

' Deleted by their names.
key.DeleteValue valueName
Check key.ValueCount = 1, "the value is deleted"
Set child = Nothing
db.DeleteKeyTree HKCU, BASE & "\" & keyName
Check key.SubKeyCount = 0, "the key is deleted"

Set key = Nothing
Set v = Nothing
Set item = Nothing
db.DeleteKeyTree HKCU, BASE
WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
