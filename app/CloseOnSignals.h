#pragma once
// SIGTERM and SIGINT close the window as its close box does. A signal
// handler may do next to nothing, so the signals arrive as bytes on a pipe
// that the event loop watches. The dialogs open over the window (a progress
// dialog, a message box) are cancelled first, the top one first: workers
// stop and partial outputs go, as when the user cancels them.

#include <QObject>

class QDialog;

class CloseOnSignals : public QObject {
    Q_OBJECT
public:
    // Catches the signals from now on; one that comes before a window
    // watches for it waits in the pipe. Call at the start of the program.
    static void Catch();

    // Closes window when a signal has come or comes.
    explicit CloseOnSignals(QDialog& window);

private:
    void OnSignal();
    // Cancels the top dialog over the window and comes back once the event
    // loop has run again (closing one may open another, a message box
    // saying what the cancel left); closes the window when none is left.
    void CloseNext();

    QDialog& m_window;
    int m_pipe = -1;
};
