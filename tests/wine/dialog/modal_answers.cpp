#include "modal_answers.h"

#include "ui/resources/resource.h"

namespace {

ModalAnswers* current = nullptr;

// The explorer-style file dialog's controls.
constexpr int kFileNameField = 0x47C;  // cmb13
constexpr int kFileTypeField = 0x470;  // cmb1
constexpr int kReadOnlyBox = 0x410;    // chx1

std::string windowText(HWND window) {
    char text[1024] = {};
    if (window != nullptr) GetWindowTextA(window, text, sizeof text);
    return text;
}

bool isDialogWindow(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

// The program's own main dialog activates too; it is not a modal window to answer.
bool isMainDialog(HWND window) {
    return GetDlgItem(window, IDC_STATUS_LINE) != nullptr && GetDlgItem(window, IDC_TX_TWIST) != nullptr;
}

}  // namespace

ModalAnswers::ModalAnswers() : previous_(current) {
    current = this;
    hook_ = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, 20, onTimer);
}

ModalAnswers::~ModalAnswers() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    KillTimer(nullptr, timer_);
    current = previous_;
}

LRESULT CALLBACK ModalAnswers::onCbt(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (current != nullptr && code == HCBT_ACTIVATE && window != nullptr && isDialogWindow(window) &&
        !isMainDialog(window))
        current->due_.emplace(window, GetTickCount() + 20);
    else if (current != nullptr && code == HCBT_DESTROYWND)
        current->due_.erase(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A disabled window has a box of its own open over it, which is answered instead.
void CALLBACK ModalAnswers::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (current == nullptr) return;
    std::vector<HWND> ready;
    for (auto& [window, due] : current->due_) {
        if (!IsWindow(window) || !IsWindowEnabled(window) || static_cast<LONG>(GetTickCount() - due) < 0) continue;
        due = GetTickCount() + 1000;
        ready.push_back(window);
    }
    for (HWND window : ready) current->answer(window);
}

void ModalAnswers::answer(HWND window) {
    ModalWindow shown;
    shown.caption = windowText(window);
    shown.text = windowText(GetDlgItem(window, 0xFFFF));
    shown.fileName = windowText(GetDlgItem(window, kFileNameField));
    shown.fileType = windowText(GetDlgItem(window, kFileTypeField));
    const HWND readOnly = GetDlgItem(window, kReadOnlyBox);
    shown.readOnlyBoxVisible = readOnly != nullptr && IsWindowVisible(readOnly);
    // The default button is the one drawn as such, which Enter presses (Wine's DM_GETDEFID says
    // IDOK for every message box).
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        const HWND button = GetDlgItem(window, id);
        if (button != nullptr && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            shown.defaultButton = id;
    }
    shown.hasOk = GetDlgItem(window, IDOK) != nullptr;
    shown.hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
    seen.push_back(shown);
    Answer next = press(IDCANCEL);
    if (!answers_.empty()) {
        next = std::move(answers_.front());
        answers_.pop_front();
    }
    next(window);
}

ModalAnswers::Answer press(int button) {
    return [button](HWND window) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(button), 0); };
}

ModalAnswers::Answer chooseFile(const std::string& path) {
    return [path](HWND window) {
        SetDlgItemTextA(window, kFileNameField, path.c_str());
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    };
}
