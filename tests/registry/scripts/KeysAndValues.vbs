' A VBScript client of the registered library: keys, every value type, and the errors scripts see.
Option Explicit

Const HKCU = &H80000001
Const BASE = "Software\TidewellTest\VBScriptKeysAndValues"

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

Sub CheckEqual(expected, actual, label)
    Check expected = actual, label & ": expected [" & expected & "], got [" & actual & "]"
End Sub

' The error a failed statement left: number (as hex), source and exact description.
Sub CheckError(hexNumber, source, description, label)
    CheckEqual hexNumber, Hex(Err.Number), label & " number"
    CheckEqual source, Err.Source, label & " source"
    CheckEqual description, Err.Description, label & " description"
    Err.Clear
End Sub

' A system failure: the message, " - ", then the system's own text.
Sub CheckSystemError(hexNumber, source, message, label)
    CheckEqual hexNumber, Hex(Err.Number), label & " number"
    CheckEqual source, Err.Source, label & " source"
    CheckEqual message & " - ", Left(Err.Description, Len(message) + 3), label & " description"
    Check Len(Err.Description) > Len(message) + 3, label & " carries the system text"
    Err.Clear
End Sub

Dim db, key, child, v, r, i, names, count, item
Set db = CreateObject("Registry.RegistryDatabase")
On Error Resume Next
db.DeleteKeyTree HKCU, BASE
Err.Clear
On Error GoTo 0

Set key = db.CreateKey(HKCU, BASE)
CheckEqual BASE, key.Name, "key name"
Check key.HKEY <> 0, "key handle"
Check key.RegistryDatabase Is db, "key's database"
CheckEqual 0, key.SubKeyCount, "no sub-keys yet"
Check IsEmpty(key.SubKeyNames), "no sub-key names is empty"

' Strings, plain and expandable.
Set v = key.OpenValue("text")
v.Value = "hello world"
CheckEqual "hello world", v.Value, "string round trip"
CheckEqual 1, v.ValueType, "string type"
CheckEqual "hello world", CStr(v), "default member"
CheckEqual "text", v.Name, "value name"
CheckEqual False, v.ExpandString, "expand starts false"
v.ExpandString = True
v.Value = "%SystemRoot%\x"
CheckEqual 2, v.ValueType, "expandable type"
CheckEqual "%SystemRoot%\x", v.Value, "expandable read unexpanded"
v.ExpandString = False
CheckEqual False, v.ExpandString, "expand set back to false"

' Integers of each script width become a DWORD read as a Long.
Set v = key.OpenValue("number")
v.Value = 5
CheckEqual 4, v.ValueType, "integer type"
CheckEqual 5, v.Value, "integer round trip"
v.Value = 100000
CheckEqual 100000, v.Value, "long round trip"
v.Value = CByte(200)
CheckEqual 200, v.Value, "byte round trip"
CheckEqual "Long", TypeName(v.Value), "read as Long"

' Arrays: strings become REG_MULTI_SZ, numbers REG_BINARY; both read back from index 1.
Set v = key.OpenValue("multi")
v.Value = Array("one", "two", "three")
CheckEqual 7, v.ValueType, "multi-string type"
r = v.Value
CheckEqual 1, LBound(r), "multi-string lower bound"
CheckEqual 3, UBound(r), "multi-string upper bound"
CheckEqual "one", r(1), "first string"
CheckEqual "three", r(3), "last string"
Set v = key.OpenValue("binary")
v.Value = Array(0, 127, 255)
CheckEqual 3, v.ValueType, "binary type"
r = v.Value
CheckEqual 1, LBound(r), "binary lower bound"
CheckEqual 3, UBound(r), "binary upper bound"
CheckEqual 255, r(3), "last byte"
CheckEqual "Byte", TypeName(r(1)), "bytes are bytes"

' The default value.
Set v = key.OpenValue("")
v.Value = "default"
CheckEqual "default", key.OpenValue("").Value, "default value"

CheckEqual 5, key.ValueCount, "value count"
names = key.ValueNames
CheckEqual 1, LBound(names), "value names lower bound"
CheckEqual 5, UBound(names), "value names upper bound"

' Sub-keys, their names and the collection.
Set child = db.CreateKey(HKCU, BASE & "\child one")
Set child = db.CreateKey(HKCU, BASE & "\child two", 1, 0)
CheckEqual 2, key.SubKeyCount, "sub-key count"
names = key.SubKeyNames
CheckEqual "child one", names(1), "first sub-key name"
count = 0
For Each item In key.SubKeys
    count = count + 1
Next
CheckEqual 2, count, "for each over the sub-keys"

' Errors arrive with their number, source and description.
On Error Resume Next
Set v = key.OpenValue("number")
v.Value = -1
CheckError "8002000A", "Registry.RegistryValue.2", "Error converting to a long integer value", "negative integer"
v.Value = True
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "Boolean"
v.Value = Now
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "date"
v.Value = 1.5
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "double"
v.Value = Null
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "null"
v.Value = Empty
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "empty"
v.Value = db
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "object"
v.Value = Array("a", 1)
CheckError "80020005", "Registry.RegistryValue.2", "Variant array type mismatch", "mixed array"
v.Value = Array()
CheckError "8002000B", "Registry.RegistryValue.2", "Error getting array element", "empty array"
v.Value = Array(Array(1))
CheckError "80020005", "Registry.RegistryValue.2", "Unsupported variant type", "nested array"
v.Value = Array(256)
CheckError "8002000A", "Registry.RegistryValue.2", "Error converting to a byte value", "byte overflow"
Dim square(1, 1)
square(0, 0) = 1 : square(0, 1) = 1 : square(1, 0) = 1 : square(1, 1) = 1
v.Value = square
CheckError "80070057", "Registry.RegistryValue.2", "Incorrect array dimensions - expecting one dimensional array", "two dimensions"
CheckEqual 255, key.OpenValue("binary").Value(3), "failed writes change nothing"

r = key.OpenValue("no such value").Value
CheckSystemError "80070002", "Registry.RegistryValue.2", "Error querying registry value for data length", "missing value"
r = key.OpenValue("no such value").ValueType
CheckSystemError "80070002", "Registry.RegistryValue.2", "Error querying registry value type", "missing value type"
key.DeleteValue "no such value"
CheckSystemError "80070002", "Registry.RegistryKey.2", "Error deleting the registry value", "delete missing value"
Set child = db.OpenKey(HKCU, BASE & "\no such key")
CheckSystemError "80070002", "Registry.RegistryDatabase.2", "Error opening the registry key", "missing key"
db.ComputerName = "elsewhere"
CheckError "80004005", "Registry.RegistryDatabase.2", "ComputerName already in use and cannot be changed", "computer name after a key"
Set child = CreateObject("Registry.RegistryDatabase")
child.ComputerName = String(261, "n")
Set item = child.OpenKey(HKCU, BASE)
CheckError "80070057", "Registry.RegistryDatabase.2", "Invalid computer name", "computer name of 261 bytes"
Set v = CreateObject("Registry.RegistryValue")
r = v.Value
CheckError "80004005", "Registry.RegistryValue.2", "No parent registry key object", "value without key"
On Error GoTo 0

' Delete the tree and see it gone.
Set key = Nothing
Set child = Nothing
Set item = Nothing
db.DeleteKeyTree HKCU, BASE
On Error Resume Next
Set key = db.OpenKey(HKCU, BASE)
CheckEqual "80070002", Hex(Err.Number), "tree deleted"
Err.Clear
On Error GoTo 0

WScript.Echo passed & " passed, " & failed & " failed"
WScript.Quit failed
