#pragma once
// What the progress dialogs (scan, export, conversion) have in common: a
// borderless modal dialog that starts one worker thread (on the first tick of
// a timer, or when a message it posts to itself is handled), asks it to stop
// through a std::atomic<int> flag, hears of its end through a done notice,
// and waits for it before it goes away. While it waits it still handles the
// events a worker may wait for (a message box from the worker), but no user
// input.

#include <QDialog>
#include <QEvent>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The controls the progress dialogs share, by id.
namespace worker_ids {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kText = -1;  // the static text
inline constexpr int kProgress = 1028;
inline constexpr int kOpenFolder = 1038;  // the check box that opens the folder afterwards
}  // namespace worker_ids

class CWorkerDlg : public QDialog {
    Q_OBJECT
public:
    // Opens a folder with the desktop's handler, as the export and the
    // conversion do when asked; false when the desktop has nothing to open
    // it with. Tests put a recorder in its place.
    using FolderOpener = std::function<bool(const QString& folder)>;
    static bool OpenWithDesktop(const QString& folder);
    // Opens folder through opener; where that fails, the message
    // "没有可以打开文件夹的程序，文件保存在：" names saved (the file or folder
    // written) instead.
    static void OpenSavedFolder(const FolderOpener& opener, const QString& folder, const QString& saved);

    // Waits for the worker, if one was started.
    ~CWorkerDlg() override;

    // Returns once the worker has ended (at once when none was started).
    void WaitForWorker();
    // True between the start of the worker and its end.
    bool WorkerRunning() const;

    void done(int result) override;

protected:
    explicit CWorkerDlg(QWidget* parent);

    // Ways to start: OnStart runs on the first tick of a timer of delayMs
    // once the dialog is shown; with a message, that tick posts the message
    // and OnStart runs when it is handled. StartOnMessage posts the message
    // when the dialog is shown. Call one of them from the constructor.
    void StartOnTimer(int delayMs, QEvent::Type message = QEvent::None);
    void StartOnMessage(QEvent::Type message);
    // Starts the worker; called by the dialog's start.
    virtual void OnStart() = 0;

    // Runs work on a new thread; stop is the flag RequestStop sets, cleared
    // here first. The flag must outlive the worker.
    void StartWorker(std::atomic<int>& stop, std::function<void()> work);
    // Sets the stop flag of the running worker.
    void RequestStop();
    // Called on the user-interface thread when the worker has ended, if the
    // dialog is still open then.
    virtual void OnWorkerDone() {}

    // Runs update on the user-interface thread, queued behind the events
    // already posted; for a worker that sets the dialog's controls. Dropped
    // when the dialog is destroyed first.
    void RunOnUiThread(std::function<void()> update);

    // Posts event to the dialog from any thread; once the dialog has closed
    // the event is dropped. Safe to keep in the worker.
    std::function<void(QEvent*)> Poster() const;

    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;
    // The thin frame that stands for the border of a window without a title
    // bar.
    void paintEvent(QPaintEvent* event) override;

private:
    // Where posted events go: the open dialog, or nowhere once it has closed.
    struct NoticeTarget {
        std::mutex mutex;
        QObject* receiver = nullptr;
    };

    std::shared_ptr<NoticeTarget> m_target;
    std::shared_ptr<std::atomic<bool>> m_bWorkerEnded;
    std::thread m_worker;
    std::atomic<int>* m_pStop = nullptr;
    int m_nStartDelay = -1;  // ms; -1 when not started by a timer
    QEvent::Type m_startMessage = QEvent::None;
    int m_nStartTimer = 0;  // the start timer while it runs
    bool m_bStartScheduled = false;
};
