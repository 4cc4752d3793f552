#pragma once

// The input box's dialog template and its controls; shared by the .rc script and the dialog code.
#define IDD_INPUT_BOX 2001
#define IDC_INPUT_BOX_PROMPT 2002
#define IDC_INPUT_BOX_TEXT 2003
