// Answers the modal windows that open on the test's thread (message boxes, file dialogs) from a
// script, and records what each one showed. A WH_CBT hook sees each window activate; the answer
// is given from a thread timer, that is, from inside the window's own message loop once it has
// finished setting itself up. A window still open and usable a second after its answer (a file
// dialog after a declined overwrite) is answered again, so that no test waits on it.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct ModalWindow {
    std::string caption;
    std::string text;      // a message box's text (control 0xFFFF)
    std::string fileName;  // a file dialog's name field as it was offered
    std::string fileType;  // a file dialog's selected filter
    bool readOnlyBoxVisible = false;
    int defaultButton = 0;  // 0: none
    bool hasOk = false, hasCancel = false;
};

// The latest one made answers; when it goes, the one before it answers again.
class ModalAnswers {
public:
    using Answer = std::function<void(HWND window)>;

    ModalAnswers();
    ~ModalAnswers();
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    // The next modal window gets this answer. A window with no answer left is cancelled, so an
    // unexpected box shows up in `seen` instead of hanging the test.
    void then(Answer answer) { answers_.push_back(std::move(answer)); }

    std::vector<ModalWindow> seen;

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void answer(HWND window);

    ModalAnswers* previous_ = nullptr;
    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    std::deque<Answer> answers_;
    std::map<HWND, DWORD> due_;  // the open windows, and when each is to be answered
};

// Presses a button of a message box (IDOK, IDCANCEL, IDYES, ...).
ModalAnswers::Answer press(int button);
// Types a path into a file dialog's name field and presses its OK button.
ModalAnswers::Answer chooseFile(const std::string& path);
