#include "app/TolvanApp.h"

#include <QTimer>
#include <memory>

#include "app/CloseOnSignals.h"
#include "app/MessageBoxPresenter.h"
#include "app/ShellManager.h"
#include "app/TolvanDlg.h"

int CTolvanApp::InitInstance() {
    // Messages from here on are boxes on the screen.
    MessageBoxPresenter messages;
    auto shell = std::make_unique<CShellManager>();
    {
        CTolvanDlg dlg(*shell);
        const CloseOnSignals closer(dlg);
        if (!m_folder.isEmpty()) {
            // Once the window shows, so that the scan dialog opens over it.
            QTimer::singleShot(0, &dlg, [&dlg, this] { dlg.PreselectFolder(m_folder); });
        }
        dlg.exec();
    }
    shell.reset();
    return 0;
}
