#include "ui/form_binding.h"

#include "form/form_fields.h"

namespace {

HWND dialogOf(const void* context) { return static_cast<HWND>(const_cast<void*>(context)); }

void getText(const void* context, int id, char* buffer, int size) {
    if (GetDlgItemTextA(dialogOf(context), id, buffer, size) == 0) buffer[0] = '\0';
}

void setText(const void* context, int id, const char* text) { SetDlgItemTextA(dialogOf(context), id, text); }

bool isChecked(const void* context, int id) {
    return SendDlgItemMessageA(dialogOf(context), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(const void* context, int id, bool checked) {
    SendDlgItemMessageA(dialogOf(context), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void setEnabled(const void* context, int id, bool enabled) {
    EnableWindow(GetDlgItem(dialogOf(context), id), enabled ? TRUE : FALSE);
}

ControlAccess access(HWND dialog) { return {dialog, getText, setText, isChecked, setChecked, setEnabled}; }

}  // namespace

void readForm(HWND dialog, TrackerSettings& settings) { readFields(access(dialog), settings); }
void writeForm(HWND dialog, const TrackerSettings& settings) { writeFields(access(dialog), settings); }
void updateEnables(HWND dialog, std::int32_t model) { enableFields(access(dialog), model); }
