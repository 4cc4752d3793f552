' For Each over a key's values and sub-keys, and the 1-based Count / Item rules, from VBScript.
Option Explicit

Const HKCU = &H80000001
Const E_INVALIDARG = &H80070057
Const E_FAIL = &H80004005
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

Dim db, path, key, i, names, v, k
Set db = CreateObject("Registry.RegistryDatabase")
path = "Software\TidewellTest\ScriptCollectionsVbs"
On Error Resume Next
db.DeleteKeyTree HKCU, path
Err.Clear
On Error GoTo 0

Set key = db.CreateKey(HKCU, path)
For i = 1 To 3
    key.OpenValue("value" & i).Value = "data" & i
    db.CreateKey HKCU, path & "\child" & i
Next

names = ""
For Each v In key.Values
    names = names & v.Name & "=" & v.Value & ";"
Next
Check names = "value1=data1;value2=data2;value3=data3;", "For Each over Values gave " & names

names = ""
For Each k In key.SubKeys
    names = names & k.Name & ";"
Next
Check names = "child1;child2;child3;", "For Each over SubKeys gave " & names

Dim values, subKeys
Set values = key.Values
Set subKeys = key.SubKeys
Check values.Count = 3, "value Count is " & values.Count
Check subKeys.Count = 3, "sub-key Count is " & subKeys.Count
Check values(1).Name = "value1", "values(1) is " & values(1).Name
Check values.Item(3).Name = "value3", "values.Item(3) is " & values.Item(3).Name
Check values(values.Count).Value = "data3", "the last value reads " & values(values.Count).Value
Check subKeys(2).Name = "child2", "subKeys(2) is " & subKeys(2).Name
Check key.Values.Item(2).Name = "value2", "key.Values.Item(2)"
Check key.Values(2).Name = "value2", "key.Values(2) through the collection's default member"
Check key.SubKeys(3).Name = "child3", "key.SubKeys(3) through the collection's default member"

' The collections fail with bare HRESULTs, without error information; Wine's VBScript then
' reports E_FAIL instead of the HRESULT (the C++ tests check E_INVALIDARG itself).
Dim number
On Error Resume Next
Set v = values(0)
number = Err.Number
Err.Clear
On Error GoTo 0
Check number = E_INVALIDARG Or number = E_FAIL, "values(0) gave error " & Hex(number)

On Error Resume Next
Set k = subKeys(subKeys.Count + 1)
number = Err.Number
Err.Clear
On Error GoTo 0
Check number = E_INVALIDARG Or number = E_FAIL, "subKeys(Count + 1) gave error " & Hex(number)

' The collections read the registry at each call.
key.OpenValue("value4").Value = "data4"
Check values.Count = 4, "Count after a new value is " & values.Count
Check values(4).Value = "data4", "the new value through Item"
key.DeleteValue "value1"
Check values(1).Name = "value2", "Item(1) after a deletion is " & values(1).Name

' A nested walk: every sub-key's own values.
db.CreateKey(HKCU, path & "\child2").OpenValue("inner").Value = 7
Dim total
total = 0
For Each k In key.SubKeys
    For Each v In k.Values
        total = total + v.Value
    Next
Next
Check total = 7, "nested walk summed " & total

Set v = Nothing
Set k = Nothing
Set values = Nothing
Set subKeys = Nothing
Set key = Nothing
db.DeleteKeyTree HKCU, path

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
