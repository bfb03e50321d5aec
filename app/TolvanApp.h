#pragma once
// The application: sets up what the main window needs, runs the window until
// it closes, and takes it all down again in the reverse order.

#include <QString>

class CTolvanApp {
public:
    // folder: the folder to select and scan once the window shows; empty for
    // none.
    explicit CTolvanApp(QString folder) : m_folder(std::move(folder)) {}

    // Runs the main window modally; returns the process's exit code. Needs a
    // QApplication.
    int InitInstance();

private:
    QString m_folder;
};
