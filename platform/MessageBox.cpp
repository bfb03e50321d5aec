#include "platform/MessageBox.h"

#include <cstdio>
#include <mutex>

#include "platform/TextCodec.h"

namespace platform {
namespace {

std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}

MessageBoxHandler& Handler() {
    static MessageBoxHandler h;
    return h;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(HandlerMutex());
    std::swap(Handler(), handler);
    return handler;
}

void ShowMessageBox(std::u16string_view text) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = Handler();
    }
    if (handler) {
        handler(text);
        return;
    }
    std::string line = WideToUtf8(text);
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace platform
