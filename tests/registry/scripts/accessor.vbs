' RegistryAccessor from VBScript: reading, writing and creating a value from its four properties.
Option Explicit

Const HKCU = &H80000001
Const HKLM = &H80000002
Dim passed, failed
passed = 0
failed = 0

Sub Check(ok, what)
    If ok Then
        passed = passed + 1
    Else
        failed = failed + 1
        WScript.Echo "FAILED: " & what
    End If
End Sub

Dim db, path, acc, number, source, description
Set db = CreateObject("Registry.RegistryDatabase")
path = "Software\TidewellTest\ScriptAccessorVbs"
On Error Resume Next
db.DeleteKeyTree HKCU, path
Err.Clear
On Error GoTo 0

Set acc = CreateObject("Registry.RegistryAccessor")
Check acc.ComputerName = "", "ComputerName starts empty"
Check acc.HKEY = HKLM, "HKEY starts at HKEY_LOCAL_MACHINE, got " & Hex(acc.HKEY)
Check acc.SubKey = "", "SubKey starts empty"
Check acc.ValueName = "", "ValueName starts empty"

acc.HKEY = HKCU
acc.SubKey = path & "\made"
acc.ValueName = "greeting"
Check acc.HKEY = HKCU, "HKEY reads back"
Check acc.SubKey = path & "\made", "SubKey reads back"

' A read of a key that is not there fails as the database's OpenKey does.
On Error Resume Next
Dim got
got = acc.Value
number = Err.Number
source = Err.Source
description = Err.Description
Err.Clear
On Error GoTo 0
Check number = &H80070002, "reading a missing key gave " & Hex(number)
Check InStr(description, "Error opening the registry key") = 1, "description " & description
Check source = "Registry.RegistryDatabase.2", "source " & source

' A write creates it.
acc.Value = "hello"
Check acc.Value = "hello", "the value written reads back"
Check db.OpenKey(HKCU, path & "\made").OpenValue("greeting").Value = "hello", _
    "the value is in the registry"

acc.ValueName = "number"
acc.Value = 42
Check acc.Value = 42, "a number reads back"
Check db.OpenKey(HKCU, path & "\made").OpenValue("number").ValueType = 4, "stored as REG_DWORD"

acc.ValueName = "greeting"
Check acc.Value = "hello", "the first value again after a value name change"

' A new sub-key reaches another key.
acc.SubKey = path & "\other"
acc.Value = "second"
Check db.OpenKey(HKCU, path & "\other").OpenValue("greeting").Value = "second", _
    "a write after a sub-key change goes to the new key"

' A computer name that cannot be reached.
acc.ComputerName = "NoSuchHostTidewell"
On Error Resume Next
got = acc.Value
number = Err.Number
description = Err.Description
Err.Clear
On Error GoTo 0
Check number = &H80070035, "an unknown computer gave " & Hex(number)
Check InStr(description, "Error connecting to the remote computer") = 1, "description " & description
acc.ComputerName = ""
Check acc.Value = "second", "back on the local registry"

Set acc = Nothing
db.DeleteKeyTree HKCU, path

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
