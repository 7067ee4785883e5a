#pragma once
// Resource ids of the input box, shared by the resource fragment and the code.
#define IDD_INPUT_BOX 201
#define IDC_INPUT_PROMPT 1001
#define IDC_INPUT_TEXT 1002
