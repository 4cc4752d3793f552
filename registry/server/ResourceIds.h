#pragma once

// Shared by Registry.rc and the code that reads the resources.
#define IDS_PROJNAME 100
#define IDR_REGISTRYDATABASE 101
#define IDR_REGISTRYKEY 102
#define IDR_REGISTRYVALUE 103
#define IDR_REGISTRYACCESSOR 106
