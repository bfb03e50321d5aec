#pragma once
// The program's one way to tell the user something: a warning box with an OK
// button under the application title. Who shows it depends on the front end:
// the window shows a real box, tolvan-cli prints a line to stderr, tests
// record the texts.

#include <functional>
#include <string_view>

namespace platform {

// The title every message box carries.
inline constexpr std::u16string_view kApplicationTitle = u"Corvane - Voice Player";

// Shows text and returns when the user has dismissed it. Safe to call from a
// worker thread; the handler decides how to reach the user.
using MessageBoxHandler = std::function<void(std::u16string_view text)>;

// Installs the process-wide handler and returns the previous one. Without a
// handler the text goes to stderr.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

void ShowMessageBox(std::u16string_view text);

}  // namespace platform
