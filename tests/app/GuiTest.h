#pragma once
// Helpers for driving the real window offscreen: acting on a modal dialog or
// pop-up once it opens, recording the program's messages, the demo folder.

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

// Once a modal dialog or pop-up menu for which match is true is open, runs
// act on it (from the dialog's own event loop). Fails the test when none opens
// within a few seconds.
void WhenOpen(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act);

template <class W>
void WhenOpen(std::function<void(W*)> act) {
    WhenOpen([](QWidget* w) { return qobject_cast<W*>(w) != nullptr; },
             [act](QWidget* w) { act(qobject_cast<W*>(w)); });
}

// The modal dialog or pop-up that is open now, if any.
QWidget* OpenModal();

// Records the texts of the program's message boxes while it lives.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;
    std::vector<std::u16string> Texts() const;

private:
    struct State;
    State* state_;
};

// The 45-recording demo folder, written once per test program.
const std::string& DemoFolder();

// Processes events until cond is true or a few seconds have passed.
bool WaitFor(const std::function<bool()>& cond);
