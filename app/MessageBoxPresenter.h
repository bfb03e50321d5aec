#pragma once
// The window's way of showing the program's messages: a warning box with OK
// under the application title. A message from a worker thread is handed to
// the user-interface thread, and the worker waits until the box is closed.

#include <QObject>

#include "platform/MessageBox.h"

class MessageBoxPresenter : public QObject {
    Q_OBJECT
public:
    // Create on the user-interface thread; installs itself as the program's
    // message box handler.
    MessageBoxPresenter();
    // Puts the previous handler back. Destroy it only when no worker can
    // show a message any more.
    ~MessageBoxPresenter() override;

    // Shows text and returns when the user has closed the box; on the
    // presenter's own thread only.
    void Show(const QString& text);

private:
    platform::MessageBoxHandler m_previous;
};
