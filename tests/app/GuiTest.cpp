#include "tests/app/GuiTest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <mutex>

#include "platform/MessageBox.h"
#include "tools/SampleFolder.h"

QWidget* OpenModal() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    return QApplication::activeModalWidget();
}

void WhenOpen(std::function<bool(QWidget*)> match, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, match, act] {
        QWidget* w = OpenModal();
        if (w && match(w)) {
            timer->stop();
            timer->deleteLater();
            act(w);
        } else if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected dialog did not open";
        }
    });
    timer->start(10);
}

struct MessageRecorder::State {
    mutable std::mutex mutex;
    std::vector<std::u16string> texts;
    platform::MessageBoxHandler previous;
};

MessageRecorder::MessageRecorder() : state_(new State) {
    State* s = state_;
    s->previous = platform::SetMessageBoxHandler([s](std::u16string_view text) {
        std::lock_guard lock(s->mutex);
        s->texts.emplace_back(text);
    });
}

MessageRecorder::~MessageRecorder() {
    platform::SetMessageBoxHandler(std::move(state_->previous));
    delete state_;
}

std::vector<std::u16string> MessageRecorder::Texts() const {
    std::lock_guard lock(state_->mutex);
    return state_->texts;
}

namespace {
// The folder lives until the test program ends.
struct DemoDir {
    DemoDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvan-gui-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        root = pattern;
        if (WriteSampleFolder(root + "/recordings")) folder = root + "/recordings";
    }
    ~DemoDir() {
        std::error_code ec;
        if (!root.empty()) std::filesystem::remove_all(root, ec);
    }
    std::string root, folder;
};
}  // namespace

const std::string& DemoFolder() {
    static const DemoDir dir;
    return dir.folder;
}

bool WaitFor(const std::function<bool()>& cond) {
    QDeadlineTimer deadline(5000);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
